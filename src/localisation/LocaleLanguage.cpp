#include "localisation/LocaleLanguage.h"

#include <array>

namespace {

struct TLocaleRow {
    QLocale::Language language;
    QLocale::Script script; // AnyScript: every script
    QLocale::Territory territory;
    quint16 id;
};

using L = QLocale;

// The locales Windows has identifiers for. The first row of a language also
// gives the language's primary number.
constexpr std::array LocaleRows = {
    TLocaleRow{L::Arabic, L::AnyScript, L::SaudiArabia, 0x0401},
    TLocaleRow{L::Arabic, L::AnyScript, L::Iraq, 0x0801},
    TLocaleRow{L::Arabic, L::AnyScript, L::Egypt, 0x0C01},
    TLocaleRow{L::Arabic, L::AnyScript, L::Libya, 0x1001},
    TLocaleRow{L::Arabic, L::AnyScript, L::Algeria, 0x1401},
    TLocaleRow{L::Arabic, L::AnyScript, L::Morocco, 0x1801},
    TLocaleRow{L::Arabic, L::AnyScript, L::Tunisia, 0x1C01},
    TLocaleRow{L::Arabic, L::AnyScript, L::Oman, 0x2001},
    TLocaleRow{L::Arabic, L::AnyScript, L::Yemen, 0x2401},
    TLocaleRow{L::Arabic, L::AnyScript, L::Syria, 0x2801},
    TLocaleRow{L::Arabic, L::AnyScript, L::Jordan, 0x2C01},
    TLocaleRow{L::Arabic, L::AnyScript, L::Lebanon, 0x3001},
    TLocaleRow{L::Arabic, L::AnyScript, L::Kuwait, 0x3401},
    TLocaleRow{L::Arabic, L::AnyScript, L::UnitedArabEmirates, 0x3801},
    TLocaleRow{L::Arabic, L::AnyScript, L::Bahrain, 0x3C01},
    TLocaleRow{L::Arabic, L::AnyScript, L::Qatar, 0x4001},
    TLocaleRow{L::Bulgarian, L::AnyScript, L::Bulgaria, 0x0402},
    TLocaleRow{L::Catalan, L::AnyScript, L::Spain, 0x0403},
    TLocaleRow{L::Chinese, L::AnyScript, L::Taiwan, 0x0404},
    TLocaleRow{L::Chinese, L::AnyScript, L::China, 0x0804},
    TLocaleRow{L::Chinese, L::AnyScript, L::HongKong, 0x0C04},
    TLocaleRow{L::Chinese, L::AnyScript, L::Singapore, 0x1004},
    TLocaleRow{L::Chinese, L::AnyScript, L::Macao, 0x1404},
    TLocaleRow{L::Czech, L::AnyScript, L::Czechia, 0x0405},
    TLocaleRow{L::Danish, L::AnyScript, L::Denmark, 0x0406},
    TLocaleRow{L::German, L::AnyScript, L::Germany, 0x0407},
    TLocaleRow{L::German, L::AnyScript, L::Switzerland, 0x0807},
    TLocaleRow{L::German, L::AnyScript, L::Austria, 0x0C07},
    TLocaleRow{L::German, L::AnyScript, L::Luxembourg, 0x1007},
    TLocaleRow{L::German, L::AnyScript, L::Liechtenstein, 0x1407},
    TLocaleRow{L::Greek, L::AnyScript, L::Greece, 0x0408},
    TLocaleRow{L::English, L::AnyScript, L::UnitedStates, 0x0409},
    TLocaleRow{L::English, L::AnyScript, L::UnitedKingdom, 0x0809},
    TLocaleRow{L::English, L::AnyScript, L::Australia, 0x0C09},
    TLocaleRow{L::English, L::AnyScript, L::Canada, 0x1009},
    TLocaleRow{L::English, L::AnyScript, L::NewZealand, 0x1409},
    TLocaleRow{L::English, L::AnyScript, L::Ireland, 0x1809},
    TLocaleRow{L::English, L::AnyScript, L::SouthAfrica, 0x1C09},
    TLocaleRow{L::English, L::AnyScript, L::Jamaica, 0x2009},
    TLocaleRow{L::English, L::AnyScript, L::Belize, 0x2809},
    TLocaleRow{L::English, L::AnyScript, L::TrinidadAndTobago, 0x2C09},
    TLocaleRow{L::English, L::AnyScript, L::Zimbabwe, 0x3009},
    TLocaleRow{L::English, L::AnyScript, L::Philippines, 0x3409},
    TLocaleRow{L::English, L::AnyScript, L::India, 0x4009},
    TLocaleRow{L::English, L::AnyScript, L::Malaysia, 0x4409},
    TLocaleRow{L::English, L::AnyScript, L::Singapore, 0x4809},
    TLocaleRow{L::Spanish, L::AnyScript, L::Spain, 0x0C0A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Mexico, 0x080A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Guatemala, 0x100A},
    TLocaleRow{L::Spanish, L::AnyScript, L::CostaRica, 0x140A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Panama, 0x180A},
    TLocaleRow{L::Spanish, L::AnyScript, L::DominicanRepublic, 0x1C0A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Venezuela, 0x200A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Colombia, 0x240A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Peru, 0x280A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Argentina, 0x2C0A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Ecuador, 0x300A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Chile, 0x340A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Uruguay, 0x380A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Paraguay, 0x3C0A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Bolivia, 0x400A},
    TLocaleRow{L::Spanish, L::AnyScript, L::ElSalvador, 0x440A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Honduras, 0x480A},
    TLocaleRow{L::Spanish, L::AnyScript, L::Nicaragua, 0x4C0A},
    TLocaleRow{L::Spanish, L::AnyScript, L::PuertoRico, 0x500A},
    TLocaleRow{L::Spanish, L::AnyScript, L::UnitedStates, 0x540A},
    TLocaleRow{L::Finnish, L::AnyScript, L::Finland, 0x040B},
    TLocaleRow{L::French, L::AnyScript, L::France, 0x040C},
    TLocaleRow{L::French, L::AnyScript, L::Belgium, 0x080C},
    TLocaleRow{L::French, L::AnyScript, L::Canada, 0x0C0C},
    TLocaleRow{L::French, L::AnyScript, L::Switzerland, 0x100C},
    TLocaleRow{L::French, L::AnyScript, L::Luxembourg, 0x140C},
    TLocaleRow{L::French, L::AnyScript, L::Monaco, 0x180C},
    TLocaleRow{L::Hebrew, L::AnyScript, L::Israel, 0x040D},
    TLocaleRow{L::Hungarian, L::AnyScript, L::Hungary, 0x040E},
    TLocaleRow{L::Icelandic, L::AnyScript, L::Iceland, 0x040F},
    TLocaleRow{L::Italian, L::AnyScript, L::Italy, 0x0410},
    TLocaleRow{L::Italian, L::AnyScript, L::Switzerland, 0x0810},
    TLocaleRow{L::Japanese, L::AnyScript, L::Japan, 0x0411},
    TLocaleRow{L::Korean, L::AnyScript, L::SouthKorea, 0x0412},
    TLocaleRow{L::Dutch, L::AnyScript, L::Netherlands, 0x0413},
    TLocaleRow{L::Dutch, L::AnyScript, L::Belgium, 0x0813},
    TLocaleRow{L::NorwegianBokmal, L::AnyScript, L::Norway, 0x0414},
    TLocaleRow{L::NorwegianNynorsk, L::AnyScript, L::Norway, 0x0814},
    TLocaleRow{L::Polish, L::AnyScript, L::Poland, 0x0415},
    TLocaleRow{L::Portuguese, L::AnyScript, L::Brazil, 0x0416},
    TLocaleRow{L::Portuguese, L::AnyScript, L::Portugal, 0x0816},
    TLocaleRow{L::Romansh, L::AnyScript, L::Switzerland, 0x0417},
    TLocaleRow{L::Romanian, L::AnyScript, L::Romania, 0x0418},
    TLocaleRow{L::Russian, L::AnyScript, L::Russia, 0x0419},
    TLocaleRow{L::Croatian, L::AnyScript, L::Croatia, 0x041A},
    TLocaleRow{L::Croatian, L::AnyScript, L::BosniaAndHerzegovina, 0x101A},
    TLocaleRow{L::Serbian, L::LatinScript, L::Serbia, 0x241A},
    TLocaleRow{L::Serbian, L::CyrillicScript, L::Serbia, 0x281A},
    TLocaleRow{L::Serbian, L::LatinScript, L::BosniaAndHerzegovina, 0x181A},
    TLocaleRow{L::Serbian, L::CyrillicScript, L::BosniaAndHerzegovina, 0x1C1A},
    TLocaleRow{L::Serbian, L::LatinScript, L::Montenegro, 0x2C1A},
    TLocaleRow{L::Serbian, L::CyrillicScript, L::Montenegro, 0x301A},
    TLocaleRow{L::Bosnian, L::LatinScript, L::BosniaAndHerzegovina, 0x141A},
    TLocaleRow{L::Bosnian, L::CyrillicScript, L::BosniaAndHerzegovina, 0x201A},
    TLocaleRow{L::Slovak, L::AnyScript, L::Slovakia, 0x041B},
    TLocaleRow{L::Albanian, L::AnyScript, L::Albania, 0x041C},
    TLocaleRow{L::Swedish, L::AnyScript, L::Sweden, 0x041D},
    TLocaleRow{L::Swedish, L::AnyScript, L::Finland, 0x081D},
    TLocaleRow{L::Thai, L::AnyScript, L::Thailand, 0x041E},
    TLocaleRow{L::Turkish, L::AnyScript, L::Turkey, 0x041F},
    TLocaleRow{L::Urdu, L::AnyScript, L::Pakistan, 0x0420},
    TLocaleRow{L::Indonesian, L::AnyScript, L::Indonesia, 0x0421},
    TLocaleRow{L::Ukrainian, L::AnyScript, L::Ukraine, 0x0422},
    TLocaleRow{L::Belarusian, L::AnyScript, L::Belarus, 0x0423},
    TLocaleRow{L::Slovenian, L::AnyScript, L::Slovenia, 0x0424},
    TLocaleRow{L::Estonian, L::AnyScript, L::Estonia, 0x0425},
    TLocaleRow{L::Latvian, L::AnyScript, L::Latvia, 0x0426},
    TLocaleRow{L::Lithuanian, L::AnyScript, L::Lithuania, 0x0427},
    TLocaleRow{L::Tajik, L::AnyScript, L::Tajikistan, 0x0428},
    TLocaleRow{L::Persian, L::AnyScript, L::Iran, 0x0429},
    TLocaleRow{L::Vietnamese, L::AnyScript, L::Vietnam, 0x042A},
    TLocaleRow{L::Armenian, L::AnyScript, L::Armenia, 0x042B},
    TLocaleRow{L::Azerbaijani, L::LatinScript, L::Azerbaijan, 0x042C},
    TLocaleRow{L::Azerbaijani, L::CyrillicScript, L::Azerbaijan, 0x082C},
    TLocaleRow{L::Basque, L::AnyScript, L::Spain, 0x042D},
    TLocaleRow{L::UpperSorbian, L::AnyScript, L::Germany, 0x042E},
    TLocaleRow{L::LowerSorbian, L::AnyScript, L::Germany, 0x082E},
    TLocaleRow{L::Macedonian, L::AnyScript, L::Macedonia, 0x042F},
    TLocaleRow{L::Tswana, L::AnyScript, L::SouthAfrica, 0x0432},
    TLocaleRow{L::Xhosa, L::AnyScript, L::SouthAfrica, 0x0434},
    TLocaleRow{L::Zulu, L::AnyScript, L::SouthAfrica, 0x0435},
    TLocaleRow{L::Afrikaans, L::AnyScript, L::SouthAfrica, 0x0436},
    TLocaleRow{L::Georgian, L::AnyScript, L::Georgia, 0x0437},
    TLocaleRow{L::Faroese, L::AnyScript, L::FaroeIslands, 0x0438},
    TLocaleRow{L::Hindi, L::AnyScript, L::India, 0x0439},
    TLocaleRow{L::Maltese, L::AnyScript, L::Malta, 0x043A},
    TLocaleRow{L::NorthernSami, L::AnyScript, L::Norway, 0x043B},
    TLocaleRow{L::Irish, L::AnyScript, L::Ireland, 0x083C},
    TLocaleRow{L::Malay, L::AnyScript, L::Malaysia, 0x043E},
    TLocaleRow{L::Malay, L::AnyScript, L::Brunei, 0x083E},
    TLocaleRow{L::Kazakh, L::AnyScript, L::Kazakhstan, 0x043F},
    TLocaleRow{L::Kyrgyz, L::AnyScript, L::Kyrgyzstan, 0x0440},
    TLocaleRow{L::Swahili, L::AnyScript, L::Kenya, 0x0441},
    TLocaleRow{L::Turkmen, L::AnyScript, L::Turkmenistan, 0x0442},
    TLocaleRow{L::Uzbek, L::LatinScript, L::Uzbekistan, 0x0443},
    TLocaleRow{L::Uzbek, L::CyrillicScript, L::Uzbekistan, 0x0843},
    TLocaleRow{L::Tatar, L::AnyScript, L::Russia, 0x0444},
    TLocaleRow{L::Bangla, L::AnyScript, L::India, 0x0445},
    TLocaleRow{L::Bangla, L::AnyScript, L::Bangladesh, 0x0845},
    TLocaleRow{L::Punjabi, L::AnyScript, L::India, 0x0446},
    TLocaleRow{L::Gujarati, L::AnyScript, L::India, 0x0447},
    TLocaleRow{L::Odia, L::AnyScript, L::India, 0x0448},
    TLocaleRow{L::Tamil, L::AnyScript, L::India, 0x0449},
    TLocaleRow{L::Telugu, L::AnyScript, L::India, 0x044A},
    TLocaleRow{L::Kannada, L::AnyScript, L::India, 0x044B},
    TLocaleRow{L::Malayalam, L::AnyScript, L::India, 0x044C},
    TLocaleRow{L::Assamese, L::AnyScript, L::India, 0x044D},
    TLocaleRow{L::Marathi, L::AnyScript, L::India, 0x044E},
    TLocaleRow{L::Sanskrit, L::AnyScript, L::India, 0x044F},
    TLocaleRow{L::Mongolian, L::AnyScript, L::Mongolia, 0x0450},
    TLocaleRow{L::Tibetan, L::AnyScript, L::China, 0x0451},
    TLocaleRow{L::Welsh, L::AnyScript, L::UnitedKingdom, 0x0452},
    TLocaleRow{L::Khmer, L::AnyScript, L::Cambodia, 0x0453},
    TLocaleRow{L::Lao, L::AnyScript, L::Laos, 0x0454},
    TLocaleRow{L::Galician, L::AnyScript, L::Spain, 0x0456},
    TLocaleRow{L::Konkani, L::AnyScript, L::India, 0x0457},
    TLocaleRow{L::Syriac, L::AnyScript, L::Syria, 0x045A},
    TLocaleRow{L::Sinhala, L::AnyScript, L::SriLanka, 0x045B},
    TLocaleRow{L::Inuktitut, L::AnyScript, L::Canada, 0x045D},
    TLocaleRow{L::Amharic, L::AnyScript, L::Ethiopia, 0x045E},
    TLocaleRow{L::Nepali, L::AnyScript, L::Nepal, 0x0461},
    TLocaleRow{L::WesternFrisian, L::AnyScript, L::Netherlands, 0x0462},
    TLocaleRow{L::Pashto, L::AnyScript, L::Afghanistan, 0x0463},
    TLocaleRow{L::Filipino, L::AnyScript, L::Philippines, 0x0464},
    TLocaleRow{L::Divehi, L::AnyScript, L::Maldives, 0x0465},
    TLocaleRow{L::Hausa, L::AnyScript, L::Nigeria, 0x0468},
    TLocaleRow{L::Yoruba, L::AnyScript, L::Nigeria, 0x046A},
    TLocaleRow{L::Quechua, L::AnyScript, L::Bolivia, 0x046B},
    TLocaleRow{L::NorthernSotho, L::AnyScript, L::SouthAfrica, 0x046C},
    TLocaleRow{L::Bashkir, L::AnyScript, L::Russia, 0x046D},
    TLocaleRow{L::Luxembourgish, L::AnyScript, L::Luxembourg, 0x046E},
    TLocaleRow{L::Kalaallisut, L::AnyScript, L::Greenland, 0x046F},
    TLocaleRow{L::Igbo, L::AnyScript, L::Nigeria, 0x0470},
    TLocaleRow{L::Tigrinya, L::AnyScript, L::Ethiopia, 0x0473},
    TLocaleRow{L::SichuanYi, L::AnyScript, L::China, 0x0478},
    TLocaleRow{L::Mapuche, L::AnyScript, L::Chile, 0x047A},
    TLocaleRow{L::Mohawk, L::AnyScript, L::Canada, 0x047C},
    TLocaleRow{L::Breton, L::AnyScript, L::France, 0x047E},
    TLocaleRow{L::Uyghur, L::AnyScript, L::China, 0x0480},
    TLocaleRow{L::Maori, L::AnyScript, L::NewZealand, 0x0481},
    TLocaleRow{L::Occitan, L::AnyScript, L::France, 0x0482},
    TLocaleRow{L::Corsican, L::AnyScript, L::France, 0x0483},
    TLocaleRow{L::SwissGerman, L::AnyScript, L::France, 0x0484},
    TLocaleRow{L::Sakha, L::AnyScript, L::Russia, 0x0485},
    TLocaleRow{L::Kiche, L::AnyScript, L::Guatemala, 0x0486},
    TLocaleRow{L::Kinyarwanda, L::AnyScript, L::Rwanda, 0x0487},
    TLocaleRow{L::Wolof, L::AnyScript, L::Senegal, 0x0488},
};

constexpr quint16 PrimaryMask = 0x03FF;
constexpr quint16 EnglishUnitedStates = 0x0409;

std::optional<QLocale>& UserLocaleOverride()
{
    static std::optional<QLocale> locale;
    return locale;
}

}

quint16 WindowsLanguageId(const QLocale& locale)
{
    if (locale.language() == QLocale::C)
        return EnglishUnitedStates;
    quint16 primary = 0;
    for (const TLocaleRow& row : LocaleRows) {
        if (row.language != locale.language())
            continue;
        if (primary == 0)
            primary = row.id & PrimaryMask;
        if (row.territory == locale.territory() && (row.script == QLocale::AnyScript || row.script == locale.script()))
            return row.id;
    }
    return primary;
}

TWindowsLanguage WindowsLanguage(const QLocale& locale)
{
    const quint16 id = WindowsLanguageId(locale);
    return TWindowsLanguage{id & PrimaryMask, id >> 10};
}

QLocale LocaleOfWindowsLanguage(int primary, int sub)
{
    const auto toLocale = [](const TLocaleRow& row) { return QLocale(row.language, row.script, row.territory); };
    const int id = (sub << 10) | primary;
    for (const TLocaleRow& row : LocaleRows)
        if (row.id == id)
            return toLocale(row);
    for (const TLocaleRow& row : LocaleRows)
        if ((row.id & PrimaryMask) == primary)
            return toLocale(row);
    return QLocale::c();
}

QLocale UserLocale()
{
    return UserLocaleOverride().value_or(QLocale::system());
}

void SetUserLocale(const std::optional<QLocale>& locale)
{
    UserLocaleOverride() = locale;
}
