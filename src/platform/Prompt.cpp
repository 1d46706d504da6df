#include "platform/Prompt.h"

namespace {
TPrompt* g_prompt = nullptr;
}

TPrompt* CurrentPrompt()
{
    return g_prompt;
}

TPrompt* SetPrompt(TPrompt* prompt)
{
    TPrompt* previous = g_prompt;
    g_prompt = prompt;
    return previous;
}

TPromptButton EscapeButton(TPromptButtons buttons)
{
    for (const TPromptButton button : {pbCancel, pbNo, pbOk}) {
        if (buttons & button)
            return button;
    }
    return pbNone;
}
