#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "device/CTavFunctionManager.h"

namespace {

struct Recorder : CTavFunctionManager::IFunctor {
    Recorder(std::vector<std::string>& calls, std::string name, bool result, int* destroyed = nullptr)
        : calls(calls), name(std::move(name)), result(result), destroyed(destroyed) {}
    ~Recorder() override {
        if (destroyed)
            ++*destroyed;
    }
    bool Invoke(const std::string& arguments) override {
        calls.push_back(name + "(" + arguments + ")");
        return result;
    }
    std::vector<std::string>& calls;
    std::string name;
    bool result;
    int* destroyed;
};

struct QueueCaller : ITavFunctionPostCaller {
    bool Post(std::unique_ptr<IFunctor> functor) override {
        queue.push_back(std::move(functor));
        return true;
    }
    std::deque<std::unique_ptr<IFunctor>> queue;
};

TEST(FunctionManager, RegistersOnceCallsAndPostsByNameOnly) {
    std::vector<std::string> calls;
    int destroyed = 0;
    CTavFunctionManager manager;
    EXPECT_TRUE(manager.Register("Read", std::make_unique<Recorder>(calls, "first", true)));
    // A second registration keeps the first functor and destroys the new one.
    EXPECT_FALSE(manager.Register("Read", std::make_unique<Recorder>(calls, "second", true, &destroyed)));
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(manager.Register("Sync", std::make_unique<Recorder>(calls, "sync", false)));

    EXPECT_TRUE(manager.Call("Read", " 3 "));
    EXPECT_FALSE(manager.Call("Sync", ""));  // the function's own result
    EXPECT_FALSE(manager.Call("read", "")); // names are case-sensitive
    QueueCaller caller;
    EXPECT_FALSE(manager.Post("Nothing", "x", &caller));
    EXPECT_FALSE(manager.Post("Read", "x", nullptr));
    EXPECT_TRUE(caller.queue.empty());
    EXPECT_EQ(calls, (std::vector<std::string>{"first( 3 )", "sync()"}));

    // Posted calls keep their own copy of the arguments and run in posting order.
    std::string arguments = "vs.control.partId,1";
    EXPECT_TRUE(manager.Post("Read", arguments, &caller));
    arguments = "changed";
    EXPECT_TRUE(manager.Post("Sync", "2", &caller));
    calls.clear();
    while (!caller.queue.empty()) {
        caller.queue.front()->Invoke();
        caller.queue.pop_front();
    }
    EXPECT_EQ(calls, (std::vector<std::string>{"first(vs.control.partId,1)", "sync(2)"}));

    EXPECT_TRUE(manager.Unregister("Sync"));
    EXPECT_FALSE(manager.Unregister("Sync"));
    EXPECT_FALSE(manager.Call("Sync", ""));
    manager.Clear();
    EXPECT_EQ(manager.Count(), 0u);
}

} // namespace
