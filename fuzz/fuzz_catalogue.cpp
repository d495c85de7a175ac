// The parameter catalogue, Functions.csv: any bytes are read without harm into
// two well-formed trees (chapters, then functions and flags, then options),
// every FN the catalogue assigns is known as assigned, and a message, when the
// load gives one, is never blank.

#include "FuzzCheck.h"
#include "cansettings/Catalogue.h"

namespace {
void CheckTree(const TParamTree& tree) {
    tree.ForEach([](TParamNode& node) {
        FUZZ_CHECK(node.Depth >= 0 && node.Depth <= 2, "three levels at most");
        FUZZ_CHECK(node.Parent != nullptr, "every node hangs in the tree");
        FUZZ_CHECK(node.Parent->Children[std::size_t(node.Row)].get() == &node,
                   "a node's row is its place among its siblings");
        FUZZ_CHECK(node.Depth == 0 || node.Parent->Depth == node.Depth - 1,
                   "a node is one level below its parent");
    });
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), qsizetype(size));
    TCatalogue catalogue;
    const TCatalogueLoad load = catalogue.LoadText(content, QStringLiteral("Functions.csv"));
    if (load.Message)
        FUZZ_CHECK(!load.Message->Text.trimmed().isEmpty(), "a message is never blank");
    CheckTree(catalogue.VT);
    CheckTree(catalogue.VST2);
    for (const quint8 fn : catalogue.AssignedFnSet)
        FUZZ_CHECK(catalogue.IsAssignedFn(fn), "an assigned FN is known as assigned");
    // Every language name the UI may have picks a catalogue column or none.
    for (const QString& language : {QStringLiteral("English"), QStringLiteral("Lietuviu"),
                                    QStringLiteral("Русский"), QString()}) {
        catalogue.SelectCatalogueLanguage(language);
        FUZZ_CHECK(catalogue.CatalogueLanguage >= 0 &&
                       (catalogue.CatalogueLanguages.isEmpty() ||
                        catalogue.CatalogueLanguage < catalogue.CatalogueLanguages.size()),
                   "the chosen catalogue language is one of its columns");
    }
    return 0;
}
