#include "script/qt/TavShiftJis.h"

#include <cerrno>
#include <iconv.h>
#include <string>

namespace {

// One conversion descriptor per call keeps decoding free of shared state.
class CIconv {
public:
    CIconv() {
        // Code page 932 is what the script's Shift_JIS text really is (backslash, NEC
        // extensions); plain Shift_JIS is the fallback when the C library lacks it.
        m_cd = iconv_open("UTF-8", "CP932");
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            m_cd = iconv_open("UTF-8", "SHIFT_JIS");
    }
    ~CIconv() {
        if (Valid())
            iconv_close(m_cd);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;
    bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle() const { return m_cd; }

private:
    iconv_t m_cd;
};

} // namespace

QString TavDecodeShiftJis(std::string_view bytes) {
    CIconv converter;
    if (!converter.Valid())
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    std::string input(bytes);
    std::string output;
    char* in = input.data();
    size_t inLeft = input.size();
    char buffer[256];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(converter.Handle(), &in, &inLeft, &out, &outLeft);
        output.append(buffer, static_cast<size_t>(out - buffer));
        if (result != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // An invalid or cut-off sequence: replace its first byte and carry on after it.
        output += "\xEF\xBF\xBD";
        ++in;
        --inLeft;
        iconv(converter.Handle(), nullptr, nullptr, nullptr, nullptr);
    }
    return QString::fromUtf8(output.data(), qsizetype(output.size()));
}
