#pragma once

class ChannelGrid;

// What a screen reader finds in the channel grid: a table of the channels 1 to 60 (its rows)
// and their ten values (its columns), each row headed by its channel number and each column
// by its header. The header row the grid keeps hidden is not one of its rows.
void installChannelGridAccessibility();

// The index of a grid cell among the children of the grid's accessible table: the ten column
// headers first (row 0), then per channel its number (column 0) and its ten values.
int channelGridAccessibleChild(int row, int column);
