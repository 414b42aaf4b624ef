// Any bytes as a settings file: reading must not fail, parsing must keep every byte, and a
// written key must read back.
#include "settings/ini_document.h"

#include <cstdint>
#include <cstdlib>

using zorvan::settings::IniDocument;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    IniDocument document = IniDocument::parse(bytes);
    if (document.toBytes() != bytes) {
        std::abort();
    }
    document.value(u"График", u"Разделитель целой и дробной части");
    document.value(u"a", u"k");

    document.setValue(u"График", u"Окно", u"200");
    document.setValue(u"Новый раздел", u"Ключ", u"значение");
    const IniDocument written = IniDocument::parse(document.toBytes());
    if (written.value(u"график", u"ОКНО") != QStringLiteral("200") ||
        written.value(u"новый раздел", u"ключ") != QStringLiteral("значение")) {
        std::abort();
    }
    return 0;
}
