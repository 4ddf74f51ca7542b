// Separator: a titled horizontal rule that divides a dialog's form into sections, the title
// at the left and a sunken line filling the rest of the row.
#pragma once

#include <QWidget>

class QLabel;

namespace Vaq::GApp {

class Separator : public QWidget
{
    Q_OBJECT

public:
    explicit Separator(const QString &title, QWidget *parent = nullptr);

    QString getTitle() const;

private:
    QLabel *m_title;
};

} // namespace Vaq::GApp
