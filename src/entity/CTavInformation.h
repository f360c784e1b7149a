#pragma once
// What the editor knows about a catalog entry: a name, a category and, for samples, kind,
// size and flags. The null objects stand for entries not (yet) known: their setters do
// nothing, their name is empty and IsNull() is true. Informations are stored as copies.

#include <cstdint>
#include <memory>
#include <string>

class ITavNullable {
public:
    virtual ~ITavNullable() = default;
    virtual bool IsNull() const = 0;
};

class IInformation : public ITavNullable {
public:
    virtual void SetName(const std::string& name) = 0;
    virtual void SetCategory(int32_t category) = 0;
    virtual std::string Name() const = 0;
    virtual int32_t Category() const = 0;
    virtual std::unique_ptr<IInformation> Clone() const = 0;
};

class CNameInformation : public IInformation {
public:
    CNameInformation() = default;
    explicit CNameInformation(std::string name) : m_name(std::move(name)) {}
    bool IsNull() const override { return false; }
    void SetName(const std::string& name) override { m_name = name; }
    void SetCategory(int32_t) override {}
    std::string Name() const override { return m_name; }
    int32_t Category() const override { return 0; }
    std::unique_ptr<IInformation> Clone() const override { return std::make_unique<CNameInformation>(*this); }

private:
    std::string m_name;
};

class CCategoryInformation : public IInformation {
public:
    CCategoryInformation() = default;
    CCategoryInformation(std::string name, int32_t category) : m_name(std::move(name)), m_category(category) {}
    bool IsNull() const override { return false; }
    void SetName(const std::string& name) override { m_name = name; }
    void SetCategory(int32_t category) override { m_category = category; }
    std::string Name() const override { return m_name; }
    int32_t Category() const override { return m_category; }
    std::unique_ptr<IInformation> Clone() const override {
        return std::make_unique<CCategoryInformation>(*this);
    }

private:
    std::string m_name;
    int32_t m_category = 0;
};

// The null object of an information class: shared, never owned by a bank.
template <class Base> class CTavNullInformation : public Base {
public:
    bool IsNull() const override { return true; }
    void SetName(const std::string&) override {}
    void SetCategory(int32_t) override {}
    std::string Name() const override { return {}; }
    int32_t Category() const override { return 0; }
    std::unique_ptr<IInformation> Clone() const override { return std::make_unique<CTavNullInformation>(); }
    static const CTavNullInformation& Instance() {
        static const CTavNullInformation instance;
        return instance;
    }
};

using CNullNameInformation = CTavNullInformation<CNameInformation>;
using CNullCategoryInformation = CTavNullInformation<CCategoryInformation>;

namespace Brio {

// Sample kinds: mono, the left or right half of a stereo pair, no sample.
namespace TavSampleKind {
inline constexpr int32_t Mono = 0;
inline constexpr int32_t StereoLeft = 1;
inline constexpr int32_t StereoRight = 2;
inline constexpr int32_t None = 3;
} // namespace TavSampleKind

class CTavSampleInformation : public IInformation {
public:
    CTavSampleInformation() = default;
    CTavSampleInformation(std::string name, int32_t kind, int32_t size, int32_t flag, int32_t fourth = 0,
                          int32_t fifth = 0)
        : m_name(std::move(name)), m_kind(kind), m_size(size), m_flag(flag), m_fourth(fourth), m_fifth(fifth) {}
    bool IsNull() const override { return false; }
    void SetName(const std::string& name) override { m_name = name; }
    void SetCategory(int32_t) override {}
    std::string Name() const override { return m_name; }
    int32_t Category() const override { return 0; }
    std::unique_ptr<IInformation> Clone() const override {
        return std::make_unique<CTavSampleInformation>(*this);
    }

    virtual void SetKind(int32_t kind) { m_kind = kind; }
    virtual void SetSize(int32_t size) { m_size = size; }
    virtual void SetFlag(int32_t flag) { m_flag = flag; }
    virtual void SetFourth(int32_t value) { m_fourth = value; }
    virtual void SetFifth(int32_t value) { m_fifth = value; }
    virtual int32_t Kind() const { return m_kind; }
    virtual int32_t Size() const { return m_size; }
    virtual int32_t Flag() const { return m_flag; }
    virtual int32_t Fourth() const { return m_fourth; }
    virtual int32_t Fifth() const { return m_fifth; }

private:
    std::string m_name;
    int32_t m_kind = TavSampleKind::None;
    int32_t m_size = 0;
    int32_t m_flag = 0;
    int32_t m_fourth = 0;
    int32_t m_fifth = 0;
};

class CNullSampleInformation : public CTavSampleInformation {
public:
    bool IsNull() const override { return true; }
    void SetName(const std::string&) override {}
    void SetKind(int32_t) override {}
    void SetSize(int32_t) override {}
    void SetFlag(int32_t) override {}
    void SetFourth(int32_t) override {}
    void SetFifth(int32_t) override {}
    std::unique_ptr<IInformation> Clone() const override { return std::make_unique<CNullSampleInformation>(); }
    static const CNullSampleInformation& Instance() {
        static const CNullSampleInformation instance;
        return instance;
    }
};

} // namespace Brio
