// Any bytes as a settings file: reading must not fail, the lines must cover every byte, a written
// key must read back, and every value that parses as an integer or a real number must come back
// unchanged through the form the program writes it in, with either decimal separator.
#include "settings/ini_document.h"
#include "settings/ini_line.h"
#include "settings/integer_text.h"
#include "settings/number_format.h"
#include "settings/windows1251.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

using zorvan::settings::IniDocument;
using zorvan::settings::IniLine;

namespace {

void checkInteger(QStringView text) {
    const auto value = zorvan::settings::parseInteger(text);
    if (value && zorvan::settings::parseInteger(QString::number(*value)) != value) {
        std::abort();
    }
}

// Written with 15 significant digits, a real reads back within that precision; values at the
// edges of double's range may round past them, so they are left out.
void checkReal(QStringView text) {
    for (const QChar separator : {QChar(u'.'), QChar(u',')}) {
        zorvan::settings::setDecimalSeparator(separator);
        const auto value = zorvan::settings::parseReal(text);
        if (!value || !std::isfinite(*value) || std::abs(*value) > 1e300 ||
            (*value != 0.0 && std::abs(*value) < 1e-300)) {
            continue;
        }
        const auto again = zorvan::settings::parseReal(zorvan::settings::formatReal(*value));
        if (!again || std::abs(*again - *value) > 1e-14 * std::abs(*value)) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    IniDocument document = IniDocument::parse(bytes);
    document.value(u"График", u"Разделитель целой и дробной части");
    document.value(u"a", u"k");

    // The lines follow each other without a gap, and every value is checked as the typed reads
    // see it.
    const char* next = bytes.data();
    zorvan::settings::readIniLines(bytes, [&](const IniLine& line) {
        const char* textEnd = line.text.data() + line.text.size();
        if (line.text.data() != next || line.text.contains('\n') ||
            (!line.ending.isEmpty() &&
             (line.ending.data() != textEnd || !line.ending.endsWith('\n')))) {
            std::abort();
        }
        next = textEnd + line.ending.size();
        if (line.kind == IniLine::Kind::Key) {
            const QString text = zorvan::settings::decodeWindows1251(line.value);
            checkInteger(text);
            checkReal(text);
        }
    });
    if (next != bytes.data() + bytes.size()) {
        std::abort();
    }

    document.setValue(u"График", u"Окно", u"200");
    document.setValue(u"Новый раздел", u"Ключ", u"значение");
    const IniDocument written = IniDocument::parse(document.toBytes());
    if (written.value(u"график", u"ОКНО") != QStringLiteral("200") ||
        written.value(u"новый раздел", u"ключ") != QStringLiteral("значение")) {
        std::abort();
    }
    return 0;
}
