#pragma once
// The program's windows, created in their fixed order (main window, progress
// window, "Select base", download offers) and living for the whole run.

#include <memory>

class THidLayer;
class TForm1;
class TForm5;
class TForm7;
class TFormHyper;

class TAppWindows {
public:
    explicit TAppWindows(THidLayer* hidLayer);
    ~TAppWindows();

    TForm1* Form1() const { return Main.get(); }
    TForm5* Form5() const { return Progress.get(); }
    TForm7* Form7() const { return SelectBase.get(); }
    TFormHyper* FormHyper() const { return Downloads.get(); }

private:
    std::unique_ptr<TForm1> Main;
    std::unique_ptr<TForm5> Progress;
    std::unique_ptr<TForm7> SelectBase;
    std::unique_ptr<TFormHyper> Downloads;
};
