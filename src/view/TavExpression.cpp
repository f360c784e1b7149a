#include "view/TavExpression.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "model/CTavValue.h"
#include "view/CTavView.h"

namespace {

enum class Op {
    Not,
    BitNot,
    Abs,
    Add,
    Sub,
    Mul,
    Div,
    Mod,
    BitAnd,
    BitOr,
    And,
    Or,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    Min,
    Max,
    Select,
    Clip,
};

struct Operator {
    std::string_view token;
    Op op;
    size_t operands;
};

constexpr Operator kOperators[] = {
    {"!", Op::Not, 1},        {"~", Op::BitNot, 1},   {"@abs", Op::Abs, 1},       {"+", Op::Add, 2},
    {"-", Op::Sub, 2},        {"*", Op::Mul, 2},      {"/", Op::Div, 2},          {"%", Op::Mod, 2},
    {"&amp;", Op::BitAnd, 2}, {"|", Op::BitOr, 2},    {"&amp;&amp;", Op::And, 2}, {"||", Op::Or, 2},
    {"==", Op::Eq, 2},        {"!=", Op::Ne, 2},      {"&lt;", Op::Lt, 2},        {"&gt;", Op::Gt, 2},
    {"&lt;=", Op::Le, 2},     {"&gt;=", Op::Ge, 2},   {"@min", Op::Min, 2},       {"@max", Op::Max, 2},
    {"?", Op::Select, 3},     {"@clip", Op::Clip, 3},
};

// Wraps to 32 bits the way the device's processor does, without undefined overflow.
int32_t Wrap(int64_t value) {
    return static_cast<int32_t>(value);
}

bool Apply(Op op, std::vector<int32_t>& stack) {
    if (op == Op::Not || op == Op::BitNot || op == Op::Abs) {
        int32_t& a = stack.back();
        if (op == Op::Not)
            a = !a;
        else if (op == Op::BitNot)
            a = ~a;
        else
            a = Wrap(a < 0 ? -int64_t{a} : int64_t{a});
        return true;
    }
    if (op == Op::Select || op == Op::Clip) {
        const int32_t c = stack[stack.size() - 3];
        const int32_t a = stack[stack.size() - 2];
        const int32_t b = stack.back();
        stack.resize(stack.size() - 3);
        if (op == Op::Select)
            stack.push_back(c ? a : b);
        else
            stack.push_back(std::clamp(c, std::min(a, b), std::max(a, b)));
        return true;
    }
    const int64_t a = stack[stack.size() - 2];
    const int64_t b = stack.back();
    stack.pop_back();
    int32_t& out = stack.back();
    switch (op) {
    case Op::Add:
        out = Wrap(a + b);
        break;
    case Op::Sub:
        out = Wrap(a - b);
        break;
    case Op::Mul:
        out = Wrap(a * b);
        break;
    case Op::Div:
        if (b == 0)
            return false;
        out = Wrap(a / b);
        break;
    case Op::Mod:
        if (b == 0)
            return false;
        out = Wrap(a % b);
        break;
    case Op::BitAnd:
        out = Wrap(a & b);
        break;
    case Op::BitOr:
        out = Wrap(a | b);
        break;
    case Op::And:
        out = a && b;
        break;
    case Op::Or:
        out = a || b;
        break;
    case Op::Eq:
        out = a == b;
        break;
    case Op::Ne:
        out = a != b;
        break;
    case Op::Lt:
        out = a < b;
        break;
    case Op::Gt:
        out = a > b;
        break;
    case Op::Le:
        out = a <= b;
        break;
    case Op::Ge:
        out = a >= b;
        break;
    case Op::Min:
        out = Wrap(std::min(a, b));
        break;
    case Op::Max:
        out = Wrap(std::max(a, b));
        break;
    default:
        return false;
    }
    return true;
}

// The current integer of the owner's reference to path.
bool ReadPath(CTavView& owner, const std::string& path, TavExpressionMode mode, int32_t& raw,
              std::vector<CTavValue*>* read) {
    int index = owner.FindValueRef(std::string_view(path));
    if (index < 0) {
        if (mode != TavExpressionMode::kRegistering)
            return false;
        index = owner.AddValueRef(path);
        // Read for an index or a condition, not shown or edited by the owner.
        owner.ValueRefs()[index].readByExpression = true;
    }
    if (!owner.ValueRefs()[index].value &&
        (mode != TavExpressionMode::kRegistering || !owner.ResolveValueRef(index)))
        return false;
    CTavValue* value = owner.ValueRefs()[index].value;
    if (value->Kind() != kTavKindInteger)
        return false;
    raw = value->GetRaw();
    if (read)
        read->push_back(value);
    return true;
}

} // namespace

bool CTavExpression::Parse(std::string_view text) {
    m_text = text;
    m_tokens.clear();
    int depth = 0;
    size_t start = 0;
    auto addToken = [this, text](size_t begin, size_t end) {
        while (begin < end && static_cast<unsigned char>(text[begin]) < '!')
            ++begin;
        while (end > begin && static_cast<unsigned char>(text[end - 1]) < '!')
            --end;
        if (end > begin)
            m_tokens.emplace_back(text.substr(begin, end - begin));
    };
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '[')
            ++depth;
        else if (text[i] == ']' && depth > 0)
            --depth;
        else if (text[i] == ',' && depth == 0) {
            addToken(start, i);
            start = i + 1;
        }
    }
    if (depth != 0) {
        m_tokens.clear();
        return false;
    }
    addToken(start, text.size());
    return true;
}

bool CTavExpression::Evaluate(CTavView& owner, TavExpressionMode mode, int32_t& result,
                              std::vector<CTavValue*>* read) const {
    return Evaluate([&](const std::string& path, int32_t& raw) { return ReadPath(owner, path, mode, raw, read); },
                    result);
}

bool CTavExpression::Evaluate(const PathReader& readPath, int32_t& result) const {
    std::vector<int32_t> stack;
    for (const std::string& token : m_tokens) {
        const unsigned char first = static_cast<unsigned char>(token[0]);
        if (std::isdigit(first)) {
            long number = 0;
            std::sscanf(token.c_str(), "%li", &number);
            stack.push_back(static_cast<int32_t>(number));
            continue;
        }
        if (std::isalpha(first)) {
            int32_t raw = 0;
            if (!readPath(token, raw))
                return false;
            stack.push_back(raw);
            continue;
        }
        const auto found = std::find_if(std::begin(kOperators), std::end(kOperators),
                                        [&token](const Operator& entry) { return entry.token == token; });
        if (found == std::end(kOperators) || stack.size() < found->operands || !Apply(found->op, stack))
            return false;
    }
    if (stack.size() != 1)
        return false;
    result = stack.front();
    return true;
}

bool TavEvaluateExpression(std::string_view text, CTavView& owner, TavExpressionMode mode, int32_t& result,
                           std::vector<CTavValue*>* read) {
    CTavExpression expression;
    return expression.Parse(text) && expression.Evaluate(owner, mode, result, read);
}

size_t TavClosingBracket(std::string_view text, size_t open) {
    int depth = 0;
    for (size_t close = open; close < text.size(); ++close) {
        if (text[close] == '[')
            ++depth;
        else if (text[close] == ']' && --depth == 0)
            return close;
    }
    return std::string_view::npos;
}
