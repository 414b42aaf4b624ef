// The indicator's words for each way the port can fail, with the label's font and height.
#include "panel/port_messages.h"

#include <gtest/gtest.h>

namespace zorvan::panel {
namespace {

using link::PortFailureKind;

TEST(PortMessage, EachFailureHasItsTextAndLabelGeometry) {
    const struct {
        link::PortFailure failure;
        QString text;
        int fontSize, top, height;
    } rows[] = {
        {{PortFailureKind::NoName, ""}, "COM-порт не задан.", 14, 52, 40},
        {{PortFailureKind::NotFound, "ttyNoSuchPort7"},
         "Не могу открыть \"ttyNoSuchPort7\",\nтакого порта не существует.\n"
         "Опрос не осуществляется.",
         10,
         37,
         55},
        {{PortFailureKind::Busy, "/dev/pts/7"},
         "Не могу открыть \"/dev/pts/7\",\nпорт занят.\nОпрос не осуществляется.",
         10,
         37,
         55},
        {{PortFailureKind::OtherError, "null", 25},
         "Не могу открыть \"null\",\nкод ошибки: 25.\nОпрос не осуществляется.",
         10,
         38,
         54},
        {{PortFailureKind::SetupFailed, "COM3"},
         "Необходимые параметры\nпорта\"COM3\"\nне установлены",
         12,
         36,
         56},
    };
    for (const auto& row : rows) {
        const PortMessage message = portMessage(row.failure);
        EXPECT_EQ(message.text, row.text);
        EXPECT_EQ(message.fontSize, row.fontSize) << row.text.toStdString();
        EXPECT_EQ(message.top, row.top) << row.text.toStdString();
        EXPECT_EQ(message.height, row.height) << row.text.toStdString();
    }
}

} // namespace
} // namespace zorvan::panel
