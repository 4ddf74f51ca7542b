// WaitCursor: shows the application's wait cursor while it lives, for long operations that
// keep the user waiting. In a program without a GUI it does nothing.
#pragma once

namespace Vaq::GApp {

class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();

    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;

private:
    bool m_shown;
};

} // namespace Vaq::GApp
