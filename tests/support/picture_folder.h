#pragma once

// Tests that render windows keep their pictures in $ZORVAN_PICTURES_DIR (a temporary folder
// when unset), so they can be looked at.

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zorvan::testing {

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString wanted = qEnvironmentVariable("ZORVAN_PICTURES_DIR");
        folder = wanted.isEmpty() ? temporary.path() : wanted;
        ASSERT_TRUE(QDir().mkpath(folder));
    }

    void save(const QImage& image, const QString& name) {
        EXPECT_TRUE(image.save(QDir(folder).filePath(name + QStringLiteral(".png"))));
    }

    QTemporaryDir temporary;
    QString folder;
};

} // namespace zorvan::testing
