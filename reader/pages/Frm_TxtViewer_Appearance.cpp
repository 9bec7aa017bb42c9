// Appearance: the size and spacing lists. A choice that changes a value re-lays the book out
// at the same reading position, with the window disabled meanwhile.

#include <QComboBox>

#include "window/Frm_TxtViewer.h"

void Frm_TxtViewer::Cb_FontSize_Click() {
    const int value = Cb_FontSize->currentText().toInt();
    if (value == ReadingSettings.FontSize) return;
    ReadingSettings.FontSize = static_cast<int16_t>(value);
    whileDisabled([this] { RelayoutPages(); });
}

void Frm_TxtViewer::Combo1_Click(int index) {
    const int16_t value = static_cast<int16_t>(Combo1[index]->currentText().toInt());
    int16_t stored = 0;
    if (index == 1) {
        LineSpacingValue = value;
        stored = ReadingSettings.LineSpacing;
    } else {
        SpacingValue0Copy = value;
        stored = ReadingSettings.SpacingValue0;
    }
    if (value == stored) return;
    whileDisabled([this] { RelayoutPages(); });
}
