#include "product.h"

const Product& meridoxProduct() {
    static const Product p{
        .program = QStringLiteral("meridox"),
        .productName = QStringLiteral("MERIDOX"),
        .settingsName = QStringLiteral("MERIDOX"),
        .hasVersionField = true,
        .hasChannelExtras = true,
        .optionWordCount = 42,
        .channelEntrySize = 40,
        .recordLength = 15245,
        .defaultModel = QStringLiteral("SOLV"),
        .band4Text = QStringLiteral("25.605000 - 30.115000 MHz"),
        .modelFamily = Product::ModelFamily::Current,
        .defaultFrequencyStep = 3,
        .captions = Product::Captions::Current,
        .clampOutOfRange = true,
        .linkedRxTx = false,
        .emergencyInGrid = true,
        .memorySize = 0x2000,
        .slotSize = 18,
        .bcdDigits = 6,
        .presentBase = 0x1D00,
        .scanBase = 0x1D30,
        .optionBase = 0x1D60,
        .headerBase = 0x1D90,
        .message1Base = 0x1DA0,
        .message2Base = 0x1DC0,
        .readStart = -64,
        .readEnd = 0x1DE0,
        .writeStart = 0x0000,
        .writeEnd = 0x1DE0,
        .infoStart = 0x1EF0,
        .infoEnd = 0x2000,
        .identityOnRead = true,
        .identityAsksOverwrite = false,
        .persistsLanguage = true,
        .hasBackgroundPicture = true,
        .infoBandText = QStringLiteral("25.605000 - 30.115000 MHz"),
    };
    return p;
}

const Product& solvirProduct() {
    static const Product p{
        .program = QStringLiteral("solvir"),
        .productName = QStringLiteral("SOLVIR"),
        .settingsName = QStringLiteral("SOLVIR"),
        .hasVersionField = false,
        .hasChannelExtras = false,
        .optionWordCount = 37,
        .channelEntrySize = 36,
        .recordLength = 13791,
        .defaultModel = QStringLiteral("SOLVIR"),
        .band4Text = QStringLiteral("25.615000 - 30.105000 MHz"),
        .modelFamily = Product::ModelFamily::Older,
        .defaultFrequencyStep = 2,
        .captions = Product::Captions::Older,
        .clampOutOfRange = false,
        .linkedRxTx = true,
        .emergencyInGrid = false,
        .memorySize = 0x1000,
        .slotSize = 10,
        .bcdDigits = 8,
        .presentBase = 0x0E20,
        .scanBase = 0x0E50,
        .optionBase = 0x0E80,
        .headerBase = 0x0EA0,
        .message1Base = 0x0EB0,
        .message2Base = 0x0ED0,
        .readStart = -64,
        .readEnd = 0x0EF0,
        .writeStart = -16,
        .writeEnd = 0x0EF0,
        .infoStart = 0x0EF0,
        .infoEnd = 0x1000,
        .identityOnRead = false,
        .identityAsksOverwrite = true,
        .persistsLanguage = false,
        .titleShowsModel = true,
        .infoBandText = QStringLiteral("26.515 - 27.855 MHz"),
    };
    return p;
}

const Product* productByName(const QString& name) {
    if (name == QLatin1String("meridox")) return &meridoxProduct();
    if (name == QLatin1String("solvir")) return &solvirProduct();
    return nullptr;
}
