#include <gtest/gtest.h>

#include <QCoreApplication>
#include <string>
#include <vector>

#include "app/qt/CFunctionPostCaller.h"

namespace {

struct Call : ITavFunctionPostCaller::IFunctor {
    Call(std::vector<std::string>& log, std::string name, int* destroyed = nullptr)
        : log(log), name(std::move(name)), destroyed(destroyed) {}
    ~Call() override {
        if (destroyed)
            ++*destroyed;
    }
    bool Invoke() override {
        log.push_back(name);
        return true;
    }
    std::vector<std::string>& log;
    std::string name;
    int* destroyed;
};

TEST(FunctionPostCaller, EachEventRunsOneFunctorInPostingOrder) {
    std::vector<std::string> log;
    int destroyed = 0;
    CFunctionPostCaller caller;
    ASSERT_TRUE(caller.Post(std::make_unique<Call>(log, "first", &destroyed)));
    ASSERT_TRUE(caller.Post(std::make_unique<Call>(log, "second", &destroyed)));
    EXPECT_TRUE(log.empty()); // nothing runs inside Post
    EXPECT_EQ(caller.Queued(), 2u);

    QEvent one(CFunctionPostCaller::kCallEvent);
    QCoreApplication::sendEvent(&caller, &one);
    EXPECT_EQ(log, std::vector<std::string>{"first"});
    EXPECT_EQ(destroyed, 1);
    QCoreApplication::sendPostedEvents(&caller, CFunctionPostCaller::kCallEvent);
    // Two posted events: the first runs "second", the other finds the queue empty.
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(caller.Queued(), 0u);
    QCoreApplication::sendEvent(&caller, &one);
    EXPECT_EQ(log.size(), 2u);
}

TEST(FunctionPostCaller, PostsThroughTheFunctionManagerAndDropsWhatNeverRan) {
    std::vector<std::string> log;
    struct Named : CTavFunctionManager::IFunctor {
        explicit Named(std::vector<std::string>& log) : log(log) {}
        bool Invoke(const std::string& arguments) override {
            log.push_back(arguments);
            return true;
        }
        std::vector<std::string>& log;
    };
    CTavFunctionManager manager;
    manager.Register("SelectPatch", std::make_unique<Named>(log));
    int destroyed = 0;
    {
        CFunctionPostCaller caller;
        EXPECT_TRUE(manager.Post("SelectPatch", " 3 ", &caller));
        EXPECT_FALSE(manager.Post("Unknown", "", &caller));
        EXPECT_EQ(caller.Queued(), 1u);
        QCoreApplication::sendPostedEvents(&caller, CFunctionPostCaller::kCallEvent);
        EXPECT_EQ(log, std::vector<std::string>{" 3 "});
        for (size_t i = 0; i < CFunctionPostCaller::kMaxQueued; ++i)
            caller.Post(std::make_unique<Call>(log, "queued", &destroyed));
        EXPECT_FALSE(caller.Post(std::make_unique<Call>(log, "one too many", &destroyed)));
        EXPECT_EQ(destroyed, 1);
    }
    // Functors still queued go with the caller, unrun.
    EXPECT_EQ(destroyed, 1 + static_cast<int>(CFunctionPostCaller::kMaxQueued));
    EXPECT_EQ(log.size(), 1u);
}

} // namespace
