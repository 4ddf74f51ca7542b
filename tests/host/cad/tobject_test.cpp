#include "gcad/host/cad/vaq_cad_tobject.h"
#include "tests/support/prog_error_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Vaq;
using Vaq::Test::progErrorMessage;

namespace {

// A tree node that writes its name into a shared log when it dies.
struct LoggedObject : TObject
{
    LoggedObject(std::string name, std::vector<std::string> *log)
        : name(std::move(name))
        , log(log)
    {
    }
    ~LoggedObject() override { log->push_back("~" + name); }
    std::string name;
    std::vector<std::string> *log;
};

// A notifier that logs its notification; it can be told to delete itself or a sibling
// notifier when notified.
struct LoggedNotifier : TObjectDestroyNotifier
{
    LoggedNotifier(TObject *object, std::string name, std::vector<std::string> *log)
        : TObjectDestroyNotifier(object)
        , name(std::move(name))
        , log(log)
    {
    }
    ~LoggedNotifier() override { log->push_back("~notifier " + name); }
    void objectDestroyed(TObject *object) override
    {
        // The object is still marked as dying, and the notifier already detached.
        const bool ok = object->isBeingDestroyed() && getObject() == nullptr;
        log->push_back("notified " + name + (ok ? "" : " too late or still attached"));
        if (deleteOther)
            delete deleteOther;
        if (deleteSelf)
            delete this;
    }
    std::string name;
    std::vector<std::string> *log;
    bool deleteSelf = false;
    LoggedNotifier *deleteOther = nullptr;
};

} // namespace

TEST(TObjectTree, childrenKeepInsertionOrderTakeChildReleasesAndRemoveChildDeletes)
{
    std::vector<std::string> log;
    TObject root;
    auto *a = new LoggedObject("a", &log);
    auto *b = new LoggedObject("b", &log);
    auto *c = new TObject;
    root.addChild(a);
    root.addChild(c);
    root.insertChild(1, b);
    EXPECT_EQ(root.getChild(1), b);
    EXPECT_EQ(root.indexOfChild(c), 2);
    EXPECT_EQ(b->getParent(), &root);

    EXPECT_EQ(root.takeChild(a), a);
    EXPECT_EQ(a->getParent(), nullptr);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(root.removeChild(b));
    EXPECT_EQ(log, std::vector<std::string> { "~b" });
    delete c; // a deleted child leaves its parent
    EXPECT_EQ(root.getNumberOfChildren(), 0u);
    // Neither call touches an object that is not a child.
    EXPECT_EQ(root.takeChild(a), nullptr);
    EXPECT_FALSE(root.removeChild(a));
    delete a;
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
    EXPECT_EQ(progErrorMessage([&] { root.insertChild(1, a); }), "child index out of range");

    EXPECT_EQ(root.getNumberOfChildren(), 0u);
    EXPECT_EQ(a->getParent(), nullptr);
    EXPECT_EQ(grandChild->getParent(), a);
    EXPECT_EQ(other.getNumberOfChildren(), 0u);
    delete a;
}

TEST(TObjectDestroyNotifier, calledInAttachOrderBeforeTheChildrenDieUnlessDeletedBeforeOrDuringIt)
{
    std::vector<std::string> log;
    auto *root = new LoggedObject("root", &log);
    auto *a = new LoggedObject("a", &log);
    auto *a1 = new LoggedObject("a1", &log);
    root->addChild(a);
    a->addChild(a1);
    root->addChild(new LoggedObject("b", &log));
    auto *gone = new LoggedNotifier(root, "gone", &log);
    auto *selfDeleting = new LoggedNotifier(root, "self", &log);
    selfDeleting->deleteSelf = true;
    auto *killer = new LoggedNotifier(root, "killer", &log);
    auto *victim = new LoggedNotifier(root, "victim", &log);
    killer->deleteOther = victim;
    LoggedNotifier last(root, "last", &log);
    LoggedNotifier onA1(a1, "a1", &log);

    delete gone;
    delete root;
    // A derived destructor runs before the TObject part notifies and deletes the children, first
    // child first. The victim dies before its turn and is never notified; everyone else still
    // attached is, once.
    EXPECT_EQ(log,
        (std::vector<std::string> { "~notifier gone", "~root", "notified self", "~notifier self",
            "notified killer", "~notifier victim", "notified last", "~a", "~a1", "notified a1", "~b" }));
    EXPECT_EQ(progErrorMessage([&] { LoggedNotifier n(nullptr, "n", &log); }), "null object");
    delete killer;
}
