#include "platform/NaturalOrder.h"

#include <QLocale>
#include <unicode/ucol.h>
#include <unicode/uiter.h>

NaturalOrder::NaturalOrder() {
    std::string locale = QLocale().name().toStdString();
    if (locale == "C") locale.clear(); // the root collation
    UErrorCode error = U_ZERO_ERROR;
    collator_ = ucol_open(locale.c_str(), &error);
    if (U_FAILURE(error)) {
        error = U_ZERO_ERROR;
        collator_ = ucol_open("", &error);
    }
    if (!collator_) return;
    ucol_setStrength(collator_, UCOL_SECONDARY); // accents count, case does not
    error = U_ZERO_ERROR;
    ucol_setAttribute(collator_, UCOL_NUMERIC_COLLATION, UCOL_ON, &error);
}

NaturalOrder::~NaturalOrder() {
    if (collator_) ucol_close(collator_);
}

int NaturalOrder::compare(std::string_view a, std::string_view b) const {
    if (!collator_) return a.compare(b);
    UErrorCode error = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(collator_, a.data(), static_cast<int32_t>(a.size()), b.data(),
                                                static_cast<int32_t>(b.size()), &error);
    if (r != UCOL_EQUAL) return r == UCOL_LESS ? -1 : 1;
    // Names equal but for case (or bytes that are not UTF-8) still get one fixed order.
    return a.compare(b) < 0 ? -1 : a == b ? 0 : 1;
}

void NaturalOrder::appendKey(std::string_view text, std::string& keys) const {
    if (collator_) {
        UCharIterator it;
        uiter_setUTF8(&it, text.data(), static_cast<int32_t>(text.size()));
        uint32_t state[2] = {0, 0};
        uint8_t part[256];
        for (;;) {
            UErrorCode error = U_ZERO_ERROR;
            const int32_t n = ucol_nextSortKeyPart(collator_, &it, state, part, sizeof part, &error);
            if (U_FAILURE(error) || n <= 0) break;
            keys.append(reinterpret_cast<const char*>(part), static_cast<std::size_t>(n));
            if (n < static_cast<int32_t>(sizeof part)) break;
        }
    }
    // The bytes themselves break ties, as compare does; a NUL keeps them after the key.
    keys += '\0';
    keys.append(text);
}
