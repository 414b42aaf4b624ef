#include "settings/windows1251.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace zorvan::settings {

namespace {

constexpr const char* kCodePage = "windows-1251";

} // namespace

// A file is decoded line by line; opening the converter once per thread keeps that cheap.
// The code page is stateless, so a reset between calls is all the reuse needs.
QString decodeWindows1251(QByteArrayView bytes) {
    thread_local QStringDecoder decoder(kCodePage);
    decoder.resetState();
    return decoder.decode(bytes);
}

QByteArray encodeWindows1251(QStringView text) {
    thread_local QStringEncoder encoder(kCodePage);
    encoder.resetState();
    return encoder.encode(text);
}

} // namespace zorvan::settings
