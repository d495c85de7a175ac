#include "AppWindows.h"

#include "TForm1.h"
#include "TForm5.h"
#include "TForm7.h"
#include "update/view/TFormHyper.h"

TAppWindows::TAppWindows(THidLayer* hidLayer)
    : Main(std::make_unique<TForm1>(hidLayer)),
      Progress(std::make_unique<TForm5>(Main.get(), Main->Messages())),
      SelectBase(std::make_unique<TForm7>()),
      Downloads(std::make_unique<TFormHyper>(Main.get(), [main = Main.get()](int number) {
          return main->Messages().WideMess(number);
      })) {
    Main->AttachProgressWindow(Progress.get());
    Main->AttachSelectBaseWindow(SelectBase.get());
    Main->AttachDownloadWindow(Downloads.get());
    Main->StartUp();
}

// The smaller windows go first; the main window, which refers to them, last.
TAppWindows::~TAppWindows() = default;
