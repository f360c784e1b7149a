#pragma once
// Value expressions: postfix integer expressions written as comma-separated tokens, over
// numbers and the values of an owner view's references. Open conditions and the index
// texts inside value paths ("part[vs.control.part]") are written in it.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CTavValue;
class CTavView;

enum class TavExpressionMode {
    // A value path the owner holds no reference for gets one, resolved at once.
    kRegistering,
    // Every value path must already be a resolved reference of the owner.
    kEvaluating,
};

class CTavExpression {
public:
    // Splits the text at commas outside brackets; each token is trimmed of characters
    // below '!' and empty tokens are skipped. False when a '[' is not closed.
    bool Parse(std::string_view text);

    const std::string& Text() const { return m_text; }
    const std::vector<std::string>& Tokens() const { return m_tokens; }
    bool Empty() const { return m_tokens.empty(); }

    // Runs the tokens on a stack of 32-bit integers; true when exactly one entry is left,
    // which is the result. Numbers start with a digit, value paths with a letter; every
    // other token must be an operator, compared as written (so "&amp;", "&lt;" and "&gt;"
    // appear as entities). Division or remainder by zero fails. read, when given, receives
    // every value the evaluation reads.
    bool Evaluate(CTavView& owner, TavExpressionMode mode, int32_t& result,
                  std::vector<CTavValue*>* read = nullptr) const;
    // The same with the integers of the value paths given by readPath, which answers
    // false for a path it cannot read.
    using PathReader = std::function<bool(const std::string& path, int32_t& raw)>;
    bool Evaluate(const PathReader& readPath, int32_t& result) const;

private:
    std::string m_text;
    std::vector<std::string> m_tokens;
};

// The position of the ']' that closes the '[' at open, nested pairs counted; npos when
// none does.
size_t TavClosingBracket(std::string_view text, size_t open);

// Parses and evaluates in one step.
bool TavEvaluateExpression(std::string_view text, CTavView& owner, TavExpressionMode mode, int32_t& result,
                           std::vector<CTavValue*>* read = nullptr);
