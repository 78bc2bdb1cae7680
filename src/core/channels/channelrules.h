#pragma once

#include "core/config/document.h"

#include <QList>
#include <QString>
#include <QStringList>

// Channel value rules: conversion between the stored form of a frequency (8 digits of Hz,
// "28015000") and its shown form ("28.015000"), range checks against the current band, and
// the single update path through which every change of the channel table passes.

// Cell columns of the channel table.
enum ChannelColumn : int {
    ColRx = 1,
    ColTx = 2,
    ColFirstFlag = 3, // ChannelFlags 1..7 are columns 3..9
    ColLastFlag = 9,
    ColScan = 10,
};

QString shownFrequency(const Document& doc, const QString& stored);
// The shown form of a stored frequency for lists and comparisons: as shownFrequency, but a
// damaged value comes back as its stored characters instead of raising the grid's message.
QString listedFrequency(const Document& doc, const QByteArray& stored);
QString storedFrequency(const Document& doc, const QString& shown);
double snapToFrequencyStep(const Document& doc, double mhz);
double checkFrequencyRange(const Document& doc, double mhz, bool clampToLimit);
double frequencyNotNumeric(const Document& doc, bool useLowerLimit);
QString formatTypedFrequency(const Document& doc, const QString& typed, bool clampToLimit);

// Captions of the channel table's eleven columns (channel number, RX, TX, the seven settings,
// scan) in a language, as the channel grid and the printout show them. older: solvir's grid.
QStringList channelColumnHeaders(bool older, int language);

// The name of channel setting 1..7 (ChannelFlags order), the same in both languages: "BUSY",
// "VOIC", "ECHO", "HI-CUT", "+10KHz", "NB/ANL", "RB".
QString channelFlagName(int flag);

// The letter of group 0..5: "A" .. "F".
QString groupLetter(int group);
// 0..5 for "A".."F" or "a".."f", else -1.
int groupFromLetter(const QString& text);

// "#0.000000"
QString formatMhz(double mhz);
// True for a stored frequency that means "no frequency": empty or eight "F".
bool isNoFrequency(const QString& stored);

// The name of the editing step that changed a cell: "Change RX of A5", "修改 A5 接收频率".
QString cellChangeCaption(int group, int channelNo, int column);
// The emergency channel number group g keeps when it asks for channel n: n itself while the
// group holds it, else the group's first channel (0 for an empty group).
int emergencyChannelFor(const Document& doc, int group, int channelNo);

// Place (1..count) of channel n in group g, or 0.
int findChannelPlace(const Document& doc, int group, int channelNo);
