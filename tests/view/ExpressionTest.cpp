// Value expressions: tokens, every operator, the failures, and value paths read through
// the owner view's references.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "model/CTavValue.h"
#include "support/ModelFixture.h"
#include "view/CTavView.h"
#include "view/TavExpression.h"

namespace {

bool Eval(const std::string& text, int32_t& result) {
    CTavView owner;
    return TavEvaluateExpression(text, owner, TavExpressionMode::kEvaluating, result);
}

TEST(Expression, SplitsAtCommasOutsideBracketsAndTrimsBlanks) {
    CTavExpression expression;
    ASSERT_TRUE(expression.Parse(" 1 ,\t a.b[c,1,+].d ,, \n+ , "));
    EXPECT_EQ(expression.Tokens(), (std::vector<std::string>{"1", "a.b[c,1,+].d", "+"}));
    EXPECT_FALSE(expression.Parse("a[1,2"));
}

TEST(Expression, EveryOperatorGivesItsResult) {
    const struct {
        const char* text;
        int32_t expected;
    } cases[] = {
        {"0,!", 1},
        {"7,!", 0},
        {"0,~", -1},
        {"3,5,-,@abs", 2},
        {"3,4,+", 7},
        {"3,4,-", -1},
        {"3,4,*", 12},
        {"7,2,/", 3},
        {"7,3,%", 1},
        {"12,10,&amp;", 8},
        {"12,3,|", 15},
        {"2,3,&amp;&amp;", 1},
        {"2,0,&amp;&amp;", 0},
        {"0,0,||", 0},
        {"0,5,||", 1},
        {"2,2,==", 1},
        {"2,3,!=", 1},
        {"2,3,&lt;", 1},
        {"3,3,&lt;", 0},
        {"3,2,&gt;", 1},
        {"3,3,&lt;=", 1},
        {"2,3,&gt;=", 0},
        {"4,9,@min", 4},
        {"4,9,@max", 9},
        {"1,10,20,?", 10},
        {"0,10,20,?", 20},
        {"50,10,20,@clip", 20},
        {"5,20,10,@clip", 10},
        {"15,20,10,@clip", 15},
        {"0x10", 16},
        {"1, 2, 3, +, *", 5},
    };
    for (const auto& c : cases) {
        int32_t result = -12345;
        EXPECT_TRUE(Eval(c.text, result)) << c.text;
        EXPECT_EQ(result, c.expected) << c.text;
    }
}

TEST(Expression, OverflowWrapsInsteadOfTrapping) {
    int32_t result = 0;
    const std::string min = std::to_string(INT32_MAX) + ",1,+";
    ASSERT_TRUE(Eval(min, result));
    EXPECT_EQ(result, INT32_MIN);
    ASSERT_TRUE(Eval(min + ",0,1,-,/", result));
    EXPECT_EQ(result, INT32_MIN);
    ASSERT_TRUE(Eval(min + ",0,1,-,%", result));
    EXPECT_EQ(result, 0);
    ASSERT_TRUE(Eval(min + ",@abs", result));
    EXPECT_EQ(result, INT32_MIN);
}

TEST(Expression, MalformedExpressionsFail) {
    for (const char* text :
         {"1,2", "-5", "1,0,/", "1,0,%", "1,+", "1,2,?", "", "2,3,&&", "2,3,<", "1,2,^", "[1", "x.y"}) {
        int32_t result = 0;
        EXPECT_FALSE(Eval(text, result)) << text;
    }
}

class ExpressionPaths : public test::ModelFixture {
protected:
    void SetUp() override {
        Build(R"(<structType><type>leaf</type><name>v</name><address>00 00</address>
  <value><name>a</name><default>3</default></value>
  <value><name>text</name><type>string</type><size>04</size></value>
</structType>
<structType><type>t</type><name>qv</name><address>00 00 00</address><struct><type>leaf</type></struct></structType>
<struct><type>t</type></struct>)");
        owner.SetViewManager(&system.ViewManager());
    }
    CTavView owner;
};

TEST_F(ExpressionPaths, RegisteringAddsAReferenceThatEvaluatingThenReads) {
    int32_t result = 0;
    EXPECT_FALSE(TavEvaluateExpression("qv.v.a,1,+", owner, TavExpressionMode::kEvaluating, result));
    EXPECT_TRUE(owner.ValueRefs().empty());

    std::vector<CTavValue*> read;
    ASSERT_TRUE(
        TavEvaluateExpression("qv.v.a,1,+,qv.v.a,+", owner, TavExpressionMode::kRegistering, result, &read));
    EXPECT_EQ(result, 7);
    ASSERT_EQ(owner.ValueRefs().size(), 1u);
    EXPECT_EQ(owner.GetValue(0), &Value("qv.v.a"));
    EXPECT_EQ(read, (std::vector<CTavValue*>{&Value("qv.v.a"), &Value("qv.v.a")}));

    Value("qv.v.a").SetRaw(10);
    ASSERT_TRUE(TavEvaluateExpression("qv.v.a", owner, TavExpressionMode::kEvaluating, result));
    EXPECT_EQ(result, 10);
}

TEST_F(ExpressionPaths, UnknownPathsAndTextValuesFail) {
    int32_t result = 0;
    EXPECT_FALSE(TavEvaluateExpression("qv.nothing", owner, TavExpressionMode::kRegistering, result));
    EXPECT_EQ(system.ErrorText(), "Unable to convert value reference name qv.nothing to value.\n");
    EXPECT_FALSE(TavEvaluateExpression("qv.v.text", owner, TavExpressionMode::kRegistering, result));
}

} // namespace
