#include "controls/Guarded.h"

#include "platform/Prompt.h"

#include <QString>

#include <exception>

namespace {

void ShowFailure(QWidget* parent, const QString& text)
{
    if (TPrompt* prompt = CurrentPrompt())
        prompt->Error(parent, text);
}

}

void RunGuarded(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        ShowFailure(parent, QString::fromUtf8(e.what()));
    } catch (...) {
        ShowFailure(parent, QStringLiteral("Unknown error."));
    }
}
