#pragma once

#include <QString>

#include <stdexcept>

// A failure of an export that ends it: a template that cannot be expanded, a
// page or folder that cannot be written. The dialog shows its text.
class TExportError : public std::runtime_error {
public:
    explicit TExportError(const QString& text) : std::runtime_error(text.toStdString()) {}
};
