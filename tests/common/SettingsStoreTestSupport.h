#pragma once

// Values written into the settings store as an older or a damaged program
// left them, and the whole record read back.

#include "common/SettingsStore.h"
#include "platform/Registry.h"

#include <QString>

#include <gtest/gtest.h>

class TSettingsStoreFixture {
protected:
    static inline const QString kKey = QStringLiteral("Software\\Orvane\\Quillon\\3");

    // Writes values under the key (or a subkey of it).
    template <typename Fill> void Store(Fill fill, const QString& subkey = QString())
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(subkey.isEmpty() ? kKey : kKey + QLatin1Char('\\') + subkey, true));
        fill(reg);
    }

    TMainSettings Loaded()
    {
        TMainSettings s;
        TSettingsStore::Load(s);
        return s;
    }
};
