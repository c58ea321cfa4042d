#include "storage/GbkText.h"

#ifdef _WIN32
#include <windows.h>

namespace {
const UINT kCodePageGbk = 936;
}

std::u16string GbkToUtf16(const std::string& strGbk) {
    if (strGbk.empty()) return {};
    const int nIn = static_cast<int>(strGbk.size());
    const int nOut = MultiByteToWideChar(kCodePageGbk, 0, strGbk.data(), nIn, nullptr, 0);
    if (nOut <= 0) return std::u16string(strGbk.size(), u'?');
    std::wstring strWide(static_cast<size_t>(nOut), L'\0');
    MultiByteToWideChar(kCodePageGbk, 0, strGbk.data(), nIn, &strWide[0], nOut);
    return std::u16string(strWide.begin(), strWide.end());
}

std::string Utf16ToGbk(const std::u16string& strWide) {
    if (strWide.empty()) return {};
    const std::wstring strIn(strWide.begin(), strWide.end());
    const int nIn = static_cast<int>(strIn.size());
    // Unmappable characters become the code page's default character, '?'.
    const int nOut = WideCharToMultiByte(kCodePageGbk, 0, strIn.data(), nIn, nullptr, 0, nullptr, nullptr);
    if (nOut <= 0) return std::string(strWide.size(), '?');
    std::string strGbk(static_cast<size_t>(nOut), '\0');
    WideCharToMultiByte(kCodePageGbk, 0, strIn.data(), nIn, &strGbk[0], nOut, nullptr, nullptr);
    return strGbk;
}

#else
#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace {

// One converter per direction and thread, opened on first use and closed
// when the thread ends.
class Converter {
public:
    Converter(const char* pszTo, const char* pszFrom) : m_cd(iconv_open(pszTo, pszFrom)) {}
    ~Converter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1)) iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts nIn bytes; on a sequence it cannot convert it appends the
    // replacement, skips nSkip bytes and goes on.
    std::string Run(const char* pIn, size_t nIn, const char* pReplacement, size_t nReplacement,
                    size_t nSkip) {
        std::string strOut;
        if (m_cd == reinterpret_cast<iconv_t>(-1)) {
            for (size_t i = 0; i < nIn; i += nSkip) strOut.append(pReplacement, nReplacement);
            return strOut;
        }
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buf[4096];
        char* pSrc = const_cast<char*>(pIn);
        size_t nLeft = nIn;
        while (nLeft > 0) {
            char* pDst = buf;
            size_t nRoom = sizeof buf;
            const size_t rc = iconv(m_cd, &pSrc, &nLeft, &pDst, &nRoom);
            strOut.append(buf, static_cast<size_t>(pDst - buf));
            if (rc != static_cast<size_t>(-1)) break;
            if (errno == E2BIG) continue;
            // EILSEQ (not convertible) or EINVAL (cut short at the end).
            strOut.append(pReplacement, nReplacement);
            const size_t n = nSkip < nLeft ? nSkip : nLeft;
            pSrc += n;
            nLeft -= n;
            iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        }
        return strOut;
    }

private:
    iconv_t m_cd;
};

// "CP936" is glibc's name for the Windows code page (GBK).
Converter& ToWide() {
    thread_local Converter conv("UTF-16LE", "CP936");
    return conv;
}
Converter& FromWide() {
    thread_local Converter conv("CP936", "UTF-16LE");
    return conv;
}

}  // namespace

std::u16string GbkToUtf16(const std::string& strGbk) {
    if (strGbk.empty()) return {};
    static const char kQuestion[2] = {'?', 0};  // '?' in UTF-16LE
    const std::string strBytes = ToWide().Run(strGbk.data(), strGbk.size(), kQuestion, 2, 1);
    std::u16string strWide(strBytes.size() / 2, u'\0');
    for (size_t i = 0; i < strWide.size(); ++i) {
        strWide[i] = static_cast<char16_t>(static_cast<unsigned char>(strBytes[2 * i]) |
                                           static_cast<unsigned char>(strBytes[2 * i + 1]) << 8);
    }
    return strWide;
}

std::string Utf16ToGbk(const std::u16string& strWide) {
    if (strWide.empty()) return {};
    // GBK holds no character outside the basic plane: a surrogate pair (or a
    // stray half of one) becomes a single '?' here, so that the converter
    // only ever skips whole characters of two bytes.
    std::string strBytes;
    strBytes.reserve(strWide.size() * 2);
    for (size_t i = 0; i < strWide.size(); ++i) {
        char16_t c = strWide[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && i + 1 < strWide.size() && strWide[i + 1] >= 0xDC00 &&
                strWide[i + 1] <= 0xDFFF)
                ++i;
            c = u'?';
        }
        strBytes.push_back(static_cast<char>(c & 0xFF));
        strBytes.push_back(static_cast<char>(c >> 8));
    }
    return FromWide().Run(strBytes.data(), strBytes.size(), "?", 1, 2);
}

#endif
