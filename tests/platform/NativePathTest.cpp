#include "platform/NativePath.h"
#include "support/NativeFiles.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

// Names whose bytes are not valid UTF-8 (or do not survive Qt's round trip).
const QByteArray LossyNames[] = {
    "Caf\xe9 latin1.mp3",      // a Latin-1 byte
    "a\x80z.mp3",              // a lone continuation byte
    "\xc0\xaf.mp3",            // an overlong "/"
    "\xe0\x80\x80.mp3",        // an overlong NUL in three bytes
    "\xed\xa0\x80.mp3",        // an encoded surrogate
    "\xf4\x90\x80\x80.mp3",    // beyond U+10FFFF
    "cut \xe2\x82",            // a sequence cut short at the end
    "\xf0\x90\x82\x80\xe9",    // U+10080 (its low surrogate is DC80) before a stray byte
};

TEST(NativePath, EveryNameSurvivesAsPathTextAndValidNamesAreQtsOwn)
{
    for (const QByteArray& name : LossyNames) {
        SCOPED_TRACE(name.toHex().toStdString());
        EXPECT_FALSE(IsPlainNativeName(name));
        const QString text = PathFromNative(name);
        EXPECT_EQ(NativeFromPath(text), name);
        EXPECT_EQ(ShownPath(text), QFile::decodeName(name));
        EXPECT_FALSE(ShownPath(text).contains(QChar(0xDCE9)));
        // Inside a path the escapes keep their place.
        const QByteArray path = "/m\xfc" "sic/" + name;
        EXPECT_EQ(NativeFromPath(PathFromNative(path)), path);
    }
    // Valid, but Qt drops the byte-order mark: kept as a character.
    const QByteArray bom = "\xef\xbb\xbf" "bom.mp3";
    EXPECT_FALSE(IsPlainNativeName(bom));
    EXPECT_EQ(PathFromNative(bom), QStringLiteral("\uFEFFbom.mp3"));
    EXPECT_EQ(NativeFromPath(PathFromNative(bom)), bom);
    // Two names that show alike stay apart as path texts.
    EXPECT_EQ(QFile::decodeName("Caf\xe9"), QFile::decodeName("Caf\xc9"));
    EXPECT_NE(PathFromNative("Caf\xe9"), PathFromNative("Caf\xc9"));

    const QByteArray valid[] = {"plain.mp3", "Caf\xc3\xa9.mp3", "line\nbreak.mp3", "\xf0\x9f\x8e\xb5.mp3", "\xef\xbf\xbd.mp3"};
    for (const QByteArray& name : valid) {
        SCOPED_TRACE(name.toHex().toStdString());
        EXPECT_TRUE(IsPlainNativeName(name));
        EXPECT_EQ(PathFromNative(name), QFile::decodeName(name));
        EXPECT_FALSE(HasEscapedBytes(PathFromNative(name)));
        EXPECT_EQ(NativeFromPath(QFile::decodeName(name)), name);
    }
    // A valid character whose low surrogate lies in the escape range is no escape.
    EXPECT_FALSE(HasEscapedBytes(QString::fromUtf8("\xf0\x90\x82\x80")));
}

}

TEST(NativePath, ShownFoldersAreFoundByTheirBytes)
{
    TNativeTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.path());
    const QByteArray outer = root + "/Caf\xe9";
    const QByteArray inner = outer + "/\x80 and \xc9";
    ASSERT_EQ(::mkdir(outer.constData(), 0755), 0);
    ASSERT_EQ(::mkdir(inner.constData(), 0755), 0);
    // Shown like the outer folder, but later in byte order.
    ASSERT_EQ(::mkdir((root + "/Caf\xfa").constData(), 0755), 0);

    EXPECT_EQ(ResolveShownPath(QFile::decodeName(inner)), PathFromNative(inner));
    EXPECT_EQ(ResolveShownPath(PathFromNative(inner)), PathFromNative(inner));
    EXPECT_TRUE(IsFolderPath(PathFromNative(inner)));
    EXPECT_FALSE(IsFolderPath(QFile::decodeName(inner)));
    // A folder really named with U+FFFD is taken as it stands.
    const QByteArray replacement = root + "/Caf\xef\xbf\xbd";
    ASSERT_EQ(::mkdir(replacement.constData(), 0755), 0);
    EXPECT_EQ(ResolveShownPath(QFile::decodeName(replacement)), QFile::decodeName(replacement));
    // Nothing of that shown name: the path as it stands.
    EXPECT_EQ(ResolveShownPath(dir.path() + QStringLiteral("/none\uFFFD")), dir.path() + QStringLiteral("/none\uFFFD"));
}
