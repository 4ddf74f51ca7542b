#include "gcad/host/cad/vaq_cad_tobject.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Vaq;
using Vaq::Test::progErrorMessage;

namespace {

// A tree node that writes its name into a shared log when it dies.
class LoggedObject : public TObject
{
public:
    LoggedObject(std::string name, std::vector<std::string> *log)
        : m_name(std::move(name))
        , m_log(log)
    {
    }
    ~LoggedObject() override { m_log->push_back("~" + m_name); }

private:
    std::string m_name;
    std::vector<std::string> *m_log;
};

// A notifier that logs its notification; it can be told to delete itself or a sibling
// notifier when notified.
class LoggedNotifier : public TObjectDestroyNotifier
{
public:
    LoggedNotifier(TObject *object, std::string name, std::vector<std::string> *log)
        : TObjectDestroyNotifier(object)
        , m_name(std::move(name))
        , m_log(log)
    {
    }
    ~LoggedNotifier() override { m_log->push_back("~notifier " + m_name); }

    bool deleteSelf = false;
    LoggedNotifier *deleteOther = nullptr;
    TObject *notifiedWith = nullptr;
    bool objectStillMarkedAsDying = false;
    bool detachedWhenNotified = false;

protected:
    void objectDestroyed(TObject *object) override
    {
        m_log->push_back("notified " + m_name);
        notifiedWith = object;
        objectStillMarkedAsDying = object->isBeingDestroyed();
        detachedWhenNotified = getObject() == nullptr;
        if (deleteOther)
            delete deleteOther;
        if (deleteSelf)
            delete this;
    }

private:
    std::string m_name;
    std::vector<std::string> *m_log;
};

} // namespace

TEST(TObjectTree, childrenKeepInsertionOrderAndKnowTheirParent)
{
    TObject root;
    auto *a = new TObject;
    auto *b = new TObject;
    auto *c = new TObject;
    root.addChild(a);
    root.addChild(c);
    root.insertChild(1, b);

    ASSERT_EQ(root.getNumberOfChildren(), 3u);
    EXPECT_EQ(root.getChild(0), a);
    EXPECT_EQ(root.getChild(1), b);
    EXPECT_EQ(root.getChild(2), c);
    EXPECT_EQ(b->getParent(), &root);
    EXPECT_EQ(root.indexOfChild(c), 2);
    EXPECT_TRUE(root.isAncestorOf(b));
    EXPECT_FALSE(b->isAncestorOf(&root));
}

TEST(TObjectTree, takeChildReleasesRemoveChildDeletesAndADeletedChildLeaves)
{
    std::vector<std::string> log;
    TObject root;
    auto *a = new LoggedObject("a", &log);
    auto *b = new LoggedObject("b", &log);
    auto *c = new TObject;
    root.addChild(a);
    root.addChild(b);
    root.addChild(c);

    EXPECT_EQ(root.takeChild(a), a);
    EXPECT_EQ(a->getParent(), nullptr);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(root.removeChild(b));
    EXPECT_EQ(log, std::vector<std::string> { "~b" });
    delete c;
    EXPECT_EQ(root.getNumberOfChildren(), 0u);

    // Neither call touches an object that is not a child.
    EXPECT_EQ(root.takeChild(a), nullptr);
    EXPECT_FALSE(root.removeChild(a));
    delete a;
}

TEST(TObjectTree, deletingAParentDeletesItsWholeSubtreeFirstChildFirst)
{
    std::vector<std::string> log;
    auto *root = new LoggedObject("root", &log);
    auto *a = new LoggedObject("a", &log);
    root->addChild(a);
    a->addChild(new LoggedObject("a1", &log));
    root->addChild(new LoggedObject("b", &log));

    delete root;
    // A derived destructor runs before the TObject part deletes the children.
    EXPECT_EQ(log, (std::vector<std::string> { "~root", "~a", "~a1", "~b" }));
}

TEST(TObjectTree, badChildrenAreRefusedWithoutChangingTheTree)
{
    TObject root;
    TObject other;
    auto *a = new TObject;
    root.addChild(a);
    auto *grandChild = new TObject;
    a->addChild(grandChild);

    EXPECT_EQ(progErrorMessage([&] { root.addChild(nullptr); }), "null child");
    EXPECT_EQ(progErrorMessage([&] { other.addChild(a); }), "object already has a parent");
    EXPECT_EQ(progErrorMessage([&] {
        root.takeChild(a);
        grandChild->addChild(a);
    }),
        "child would contain its own parent");
    EXPECT_EQ(progErrorMessage([&] { a->addChild(a); }), "child would contain its own parent");
    EXPECT_EQ(progErrorMessage([&] { root.insertChild(1, a); }), "child index out of range");
    EXPECT_EQ(progErrorMessage([&] { root.getChild(0); }), "child index out of range");

    EXPECT_EQ(root.getNumberOfChildren(), 0u);
    EXPECT_EQ(a->getParent(), nullptr);
    EXPECT_EQ(grandChild->getParent(), a);
    EXPECT_EQ(other.getNumberOfChildren(), 0u);
    delete a;
}

TEST(TObjectDestroyNotifier, isNotifiedBeforeTheObjectAndItsChildrenDie)
{
    std::vector<std::string> log;
    auto *root = new LoggedObject("root", &log);
    auto *child = new LoggedObject("child", &log);
    root->addChild(child);
    LoggedNotifier onRoot(root, "root", &log);
    LoggedNotifier onChild(child, "child", &log);

    delete root;
    EXPECT_EQ(log, (std::vector<std::string> { "~root", "notified root", "~child", "notified child" }));
    EXPECT_EQ(onRoot.notifiedWith, root);
    EXPECT_TRUE(onRoot.objectStillMarkedAsDying);
    EXPECT_TRUE(onRoot.detachedWhenNotified);
    EXPECT_EQ(onRoot.getObject(), nullptr);
    EXPECT_EQ(onChild.getObject(), nullptr);
    EXPECT_EQ(progErrorMessage([&] { LoggedNotifier n(nullptr, "n", &log); }), "null object");
}

TEST(TObjectDestroyNotifier, calledInAttachOrderUnlessDeletedBeforeOrDuringTheNotification)
{
    std::vector<std::string> log;
    auto *object = new TObject;
    auto *gone = new LoggedNotifier(object, "gone", &log);
    auto *selfDeleting = new LoggedNotifier(object, "self", &log);
    selfDeleting->deleteSelf = true;
    auto *killer = new LoggedNotifier(object, "killer", &log);
    auto *victim = new LoggedNotifier(object, "victim", &log);
    killer->deleteOther = victim;
    LoggedNotifier last(object, "last", &log);

    delete gone;
    delete object;
    // The victim dies before its turn and is never notified; everyone else still attached is, once.
    EXPECT_EQ(log,
        (std::vector<std::string> { "~notifier gone", "notified self", "~notifier self", "notified killer",
            "~notifier victim", "notified last" }));
    delete killer;
}
