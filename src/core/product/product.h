#pragma once

#include <QString>
#include <cstdint>

// Everything that differs between the two programs built from this source tree.
// Code asks the descriptor; nothing is switched at compile time.
struct Product {
    QString program;      // executable name: "meridox" / "solvir"
    QString productName;  // shown in titles: "MERIDOX" / "SOLVIR"
    QString settingsName; // per-user window placement application name

    // Data file record layout.
    bool hasVersionField;  // meridox records start with a 4-character version
    bool hasChannelExtras; // meridox channel entries end with RxExtra/TxExtra
    int optionWordCount;   // 42 / 37
    int channelEntrySize;  // 40 / 36 bytes in the file
    int recordLength;      // 15245 / 13791 bytes

    // Model and band defaults.
    QString defaultModel; // "SOLV" / "SOLVIR"
    QString band4Text;    // band text of band code 4, also the default band
    // Which table turns the radio's model class and band code into a model text.
    enum class ModelFamily { Current, Older } modelFamily;

    // Built-in defaults that differ: option word 4, the frequency step (3: 10 Hz, 2: 100 Hz).
    int defaultFrequencyStep;

    // Captions of the channel columns, the scan column and a few option boxes: the older
    // radio's windows and printout name them differently ("Frequency", "Scan Add", ...).
    enum class Captions { Current, Older } captions;

    // Channel editing rules.
    bool clampOutOfRange; // an invalid TX frequency is pulled to the violated limit
    bool linkedRxTx;      // storing one frequency copies it into the other unless word 20 is set
    bool emergencyInGrid; // the channel grid carries the emergency channel lists

    // Radio memory map.
    int memorySize;   // bytes of radio memory mirrored in the image
    int slotSize;     // bytes per channel slot
    int bcdDigits;    // receive/transmit digits held in BCD per slot (6 + offset, or 8)
    int presentBase;  // channel-present bitmap
    int scanBase;     // scan-add bitmap
    int optionBase;   // optional features block
    int headerBase;   // model header (the radio's identification reply)
    int message1Base; // embedded message line 1
    int message2Base; // embedded message line 2
    int readStart;    // BlockAddress before the first read request
    int readEnd;      // EndAddress of a read
    int writeStart;   // BlockAddress before the first data frame
    int writeEnd;     // EndAddress of a write
    int infoStart;    // BlockAddress before the first information block
    int infoEnd;      // EndAddress of an information read

    // Identity check: meridox compares model code, firmware and band and refuses a
    // mismatch; solvir checks writes only, by model and band, and asks whether to overwrite.
    bool identityOnRead;
    bool identityAsksOverwrite;

    // Settings file: meridox keeps language and first-run keys, solvir only the port.
    bool persistsLanguage;

    // Main window: solvir's title names the model before the band; only meridox tiles a
    // background picture.
    bool titleShowsModel = false;
    bool hasBackgroundPicture = false;

    // The one band entry of the factory information window.
    QString infoBandText;

    int infoBase() const { return infoStart + 16; }
};

const Product& meridoxProduct();
const Product& solvirProduct();
// "meridox" or "solvir"; nullptr for any other name.
const Product* productByName(const QString& name);
