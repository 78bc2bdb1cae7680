#pragma once

#include <QString>

// The print texts of the language tables: the headings and labels of the printed report and
// the captions of the print list. The main window's title uses the file-name label too.
// Every lookup takes a language index (1 English, 2 Chinese); index 0 and any other index
// give the empty text.
enum class PrintText {
    Heading = 1, // "MERIDOX Radio Programming Information": the product name follows the program
    Off,
    On,
    FileNameLabel, // also the file-name label of the main window's title
    SelectAll,
    ClearAll,
    Setup,
    ChannelGroupItem,
    OptionItem,
    LocalInfoItem,
    MessageItem,
    RangeLabel,
};
QString printText(PrintText id, int language);
QString printText(PrintText id);
