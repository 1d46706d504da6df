#include "LocalisationTestSupport.h"

#include "localisation/LanguageLoader.h"
#include "localisation/LanguageSignature.h"

#include <gtest/gtest.h>

namespace {

const QStringList SampleFile = {
    "Language=Test",
    "QLNVersion=3.14",
    "Sig=",
    "",
    "##### Group #####",
    "A=1",
    "B=two words",
};

QString DigestOf(const QStringList& lines)
{
    return LanguageDigest(TLanguageLines::FromBytes(LanguageFileBytes(lines)));
}

bool Verifies(const QByteArray& bytes)
{
    QString digest;
    return CheckLanguageSignature(TLanguageLines::FromBytes(bytes), digest);
}

TEST(LanguageSignatureTest, BuiltInLanguagesAreSigned)
{
    for (const QString& name : {QStringLiteral("GERMAN"), QStringLiteral("ENGLISH")}) {
        const std::optional<QByteArray> bytes = ReadBuiltInLanguage(name);
        ASSERT_TRUE(bytes) << name.toStdString();
        EXPECT_TRUE(Verifies(*bytes)) << name.toStdString();

        // One changed byte anywhere in a text breaks the signature.
        QByteArray changed = *bytes;
        const qsizetype at = changed.indexOf("\r\nOK=") + 5;
        changed[at] = static_cast<char>(changed.at(at) ^ 0x01);
        EXPECT_FALSE(Verifies(changed)) << name.toStdString();
    }
}

TEST(LanguageSignatureTest, SignedTextIgnoresBlanksAndTheSigLine)
{
    const QString digest = DigestOf(SampleFile);
    // Blank lines, surrounding blanks and the place of the "Sig" line do not count.
    EXPECT_EQ(DigestOf({"  Language=Test\t", "", "QLNVersion=3.14", "", "##### Group #####", "A=1 ", "B=two words",
                        "", "SIG=whatever"}),
              digest);
    // Banners, headers, texts and their order do.
    EXPECT_NE(DigestOf({"Language=Test", "QLNVersion=3.14", "Sig=", "##### Group ####", "A=1", "B=two words"}), digest);
    EXPECT_NE(DigestOf({"Language=Test", "QLNVersion=3.14", "Sig=", "##### Group #####", "B=two words", "A=1"}), digest);
    // A leading blank makes " sig" another key: that line is signed like any other.
    EXPECT_NE(DigestOf(SampleFile + QStringList{" sig=x"}), digest);
}

TEST(LanguageSignatureTest, SigningWritesTheMd5DigestAndKeepsEveryOtherByte)
{
    const QByteArray source = LanguageFileBytes(SampleFile);
    const std::optional<QByteArray> signedBytes = SignLanguageBytes(source);
    ASSERT_TRUE(signedBytes);
    const QString digest = LanguageDigest(TLanguageLines::FromBytes(source));
    EXPECT_EQ(*signedBytes, QByteArray(source).replace("Sig=\r\n", "Sig=" + digest.toLatin1() + "\r\n"));
    EXPECT_TRUE(Verifies(*signedBytes));

    // Upper-case hex digits are accepted; a wrong, empty or missing signature is not.
    EXPECT_TRUE(Verifies(QByteArray(*signedBytes).replace(digest.toLatin1(), digest.toUpper().toLatin1())));
    EXPECT_FALSE(Verifies(QByteArray(*signedBytes).replace(digest.toLatin1(), QByteArray(32, '0'))));
    EXPECT_FALSE(Verifies(source));
    EXPECT_FALSE(SignLanguageBytes(LanguageFileBytes({"Language=Test", "QLNVersion=3.14", "A=1"})));

    // The digest is MD5 as RFC 1321 gives it.
    EXPECT_EQ(MD5Print(MD5String("message digest")), "f96b697d7cb7938d525a2f31aaf161d0");
    // The empty language (a cancelled selector) has no signature.
    QString emptyDigest;
    EXPECT_FALSE(CheckLanguageSignature(TLanguageLines(), emptyDigest));
    EXPECT_EQ(emptyDigest.size(), 32);
}

}
