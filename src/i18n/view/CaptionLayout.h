#pragma once
// Check boxes and radio buttons whose width follows their caption: after a
// language changed their texts they take the width of the caption plus the
// room for their mark. Those inside a layout tell it their new size; a
// free-standing one is resized, and the control placed to its right on the
// same row moves to 5 pixels after it.

class QWidget;

class TCaptionLayout {
public:
    static constexpr int Gap = 5;

    static void FitCaptions(QWidget* window);
};
