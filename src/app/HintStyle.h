#pragma once
// How hints behave in the whole application: they appear after 1 s, stay up
// to 30 s and wrap at 500 pixels.

#include <QKeySequence>
#include <QProxyStyle>

class THintStyle : public QProxyStyle {
    Q_OBJECT
public:
    static constexpr int WakeUpDelayMs = 1000;
    static constexpr int ShowTimeMs = 30000;
    static constexpr int WrapWidth = 500;

    // Installs the style and its hint handling on the application once.
    static void Install();

    // A control's keyboard shortcut, shown after its hint in every language
    // (the hint itself comes from the language file and is set anew on each
    // change of language).
    static void SetShortcutText(QWidget* control, const QKeySequence& keys);
    static QString HintWithShortcut(const QWidget* control);

    int styleHint(StyleHint hint, const QStyleOption* option = nullptr,
                  const QWidget* widget = nullptr,
                  QStyleHintReturn* returnData = nullptr) const override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    THintStyle();
};
