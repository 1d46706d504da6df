#pragma once

#include "localisation/LanguageLines.h"

#include <QByteArray>
#include <QString>

#include <optional>

// MD5 (RFC 1321) over the bytes of text: 16 bytes.
QByteArray MD5String(const QByteArray& text);
// A digest as lowercase hexadecimal digits, first byte first.
QString MD5Print(const QByteArray& digest);

// The signature of a language file: the MD5 of its non-blank lines (trimmed,
// without any "Sig" line, in file order) and the program's salt, each line
// followed by CR LF. Computed over the raw bytes of the lines.
QString LanguageDigest(const TLanguageLines& lines);

// Computes the digest of lines and compares it with their "Sig" value (either
// case of hex digits). False for a missing, empty or wrong signature.
bool CheckLanguageSignature(const TLanguageLines& lines, QString& digest);

// The bytes of a language file with the value of its "Sig" line set to the
// file's digest, every other byte unchanged. Nothing when the file has no
// "Sig" line.
std::optional<QByteArray> SignLanguageBytes(const QByteArray& bytes);
