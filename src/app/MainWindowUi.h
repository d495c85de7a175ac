#pragma once
// The controls of the main window. Each has a fixed object name: the language
// file translates captions by window and control name.

class QCheckBox;
class QComboBox;
class QLabel;
class QMainWindow;
class QPushButton;
class QScrollArea;
class QTabWidget;
class QVBoxLayout;
class QWidget;
class TBackgroundPicture;
class TLamp;

struct TMainWindowUi {
    // The window's size when it opens; it may be resized and maximised.
    static constexpr int DesignWidth = 640;
    static constexpr int DesignHeight = 660;
    static constexpr int MinimumWidth = 560;
    static constexpr int MinimumHeight = 420;

    QScrollArea* ScrollBox = nullptr;
    QWidget* Content = nullptr;
    TBackgroundPicture* Image1 = nullptr;
    QLabel* Label1 = nullptr; // "Please connect TLX2 module..."
    QLabel* Label2 = nullptr; // the same text, shown for a module that is too old

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabCar = nullptr;
    QWidget* TabSettings = nullptr;
    QWidget* TabTemplates = nullptr;
    QWidget* TabLog = nullptr;
    QWidget* TabAutoStart = nullptr;
    // Each page's layout, for the parts that fill the page.
    QVBoxLayout* CarLayout = nullptr;
    QVBoxLayout* SettingsLayout = nullptr;
    QVBoxLayout* TemplatesLayout = nullptr;
    QVBoxLayout* LogLayout = nullptr;
    QVBoxLayout* AutoStartLayout = nullptr;
    QCheckBox* ReadOnConnectBox = nullptr;
    QPushButton* ReadSettingsButton = nullptr;

    QWidget* BottomBar = nullptr; // below the pages, never scrolled away
    QComboBox* LanguageBox = nullptr;
    QPushButton* SaveButton = nullptr;
    // Puts every changed value back as the module holds it.
    QPushButton* RevertButton = nullptr;
    // How many changes a Save would make, or that the last one was verified
    // (in the status bar, below the buttons).
    QLabel* ChangesLabel = nullptr;
    QPushButton* DefaultButton = nullptr;
    QPushButton* ScanBaseButton = nullptr;
    // Reads the module's settings again; shown while a module can be read.
    QPushButton* ReadAgainButton = nullptr;

    QLabel* StatusLabel = nullptr;
    QLabel* StateLabel = nullptr; // what the module is doing
    QLabel* PingTimeOutLabel = nullptr;
    QLabel* ScanningLabel = nullptr; // "Scaning for bases..."
    TLamp* Lamp1 = nullptr;
    TLamp* Lamp2 = nullptr;
    TLamp* Lamp3 = nullptr;

    void Setup(QMainWindow* window);

private:
    QWidget* AddPage(const char* name, const char* caption, QVBoxLayout** layout);
    QWidget* CreateBottomBar();
    void CreateStatusBar(QMainWindow* window);
};
