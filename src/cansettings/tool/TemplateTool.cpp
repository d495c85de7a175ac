// rv5k-template: template files without the program and without a module,
// for support desks.
//
//   rv5k-template dump FILE [--catalogue Functions.csv]
//   rv5k-template seal TEXTFILE OUT
//
// dump prints the header, the records and every FN/NN pair as text, with
// the function's name from the catalogue where it knows it; seal builds a
// template from that text. Exit status 0 on success, 1 when a file cannot be
// read, written or is not a template, 2 for a wrong command line.

#include "cansettings/Catalogue.h"
#include "cansettings/TemplateFile.h"
#include "cansettings/TemplateText.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#include <map>

namespace {
constexpr int Done = 0;
constexpr int BadFile = 1;
constexpr int BadUsage = 2;
constexpr qint64 MaxTextBytes = 64 << 20;

const char* const Help =
    "Usage:\n"
    "  rv5k-template dump FILE [--catalogue Functions.csv]\n"
    "  rv5k-template seal TEXTFILE OUT\n"
    "\n"
    "dump  prints the template FILE as text: its header, its recorded requests\n"
    "      and every FN/NN pair of its map, with the function's name from the\n"
    "      catalogue (Functions.csv in the working folder, else beside this\n"
    "      tool, unless --catalogue names one).\n"
    "seal  builds the template OUT from a text in the form dump prints and\n"
    "      replaces OUT whole (or leaves it as it was when that fails).\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written or is not a\n"
    "template, 2 a wrong command line.\n";

void Print(FILE* to, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), to);
}

int Fail(const QString& text, int status = BadFile) {
    Print(stderr, QStringLiteral("rv5k-template: ") + text + QLatin1Char('\n'));
    return status;
}

int Usage(const QString& why) {
    Print(stderr, QStringLiteral("rv5k-template: ") + why + QStringLiteral("\n\n"));
    Print(stderr, QString::fromLatin1(Help));
    return BadUsage;
}

// Names of the FNs this tool knows without a catalogue.
QString FixedName(quint8 fn) {
    switch (fn) {
    case 0x00:
        return QStringLiteral("empty slot");
    case 0x01:
    case 0x02:
    case 0x03:
    case 0x04:
        return QStringLiteral("PIN digit %1").arg(fn);
    case 0x05:
        return QStringLiteral("car data");
    case 0x06:
        return QStringLiteral("car group (GR)");
    case 0x07:
        return QStringLiteral("car subgroup (PGR)");
    case 0x11:
        return QStringLiteral("set to 1 at the end of every save");
    case 0x57:
        return QStringLiteral("car program (FN57)");
    case 0x59:
        return QStringLiteral("car reset");
    case 0x71:
    case 0x72:
    case 0x73:
        return QStringLiteral("last event %1").arg(fn - 0x70);
    case 0xFF:
        return QStringLiteral("left out (PIN or car data not kept, or a slot to skip)");
    default:
        return {};
    }
}

// FN to the English names of the catalogue: a function's name, a flag byte's
// flags, or the function and option whose sub-parameter the FN holds.
std::map<quint8, QString> CatalogueNames(const QString& path) {
    std::map<quint8, QString> names;
    TCatalogue catalogue;
    const TCatalogueLoad load = catalogue.LoadCatalogue(path);
    if (!load.FileFound)
        return names;
    catalogue.SelectCatalogueLanguage(QStringLiteral("English"));
    std::map<quint8, QStringList> flags;
    std::map<quint8, QString> subParameters;
    for (const TParamTree* tree : {&catalogue.VT, &catalogue.VST2})
        tree->ForEach([&](TParamNode& node) {
            if (node.Level() == 2 && !node.Data.IsValue) {
                // The sub-parameters of an option live in FNs of their own.
                const QString function = catalogue.Text(node.Parent->Data.Names).trimmed();
                const QString option = catalogue.Text(node.Data.Names).trimmed();
                const auto assigned = [&](quint8 fn, const QStringList& captions) {
                    const QString caption = catalogue.Text(captions).trimmed();
                    if (fn != 0)
                        subParameters.emplace(fn, function + QStringLiteral(": ") + option +
                                                      (caption.isEmpty()
                                                           ? QString()
                                                           : QStringLiteral(" (") + caption + ')'));
                };
                assigned(node.Data.AssignedFn1, node.Data.Fn1Captions);
                assigned(node.Data.AssignedFn2, node.Data.Fn2Captions);
            }
            if (node.Level() != 1)
                return;
            const QString text = catalogue.Text(node.Data.Names).trimmed();
            if (text.isEmpty())
                return;
            if (node.Data.IsFlag) {
                const QString flag = QStringLiteral("%1 (%2)").arg(text).arg(
                    node.Data.AssignedFn1, 2, 16, QLatin1Char('0'));
                if (!flags[node.Data.Number].contains(flag))
                    flags[node.Data.Number] << flag;
            } else {
                names.emplace(node.Data.Number, text);
            }
        });
    for (const auto& [fn, list] : flags)
        names.emplace(fn, QStringLiteral("flags: ") + list.join(QStringLiteral(", ")));
    for (const auto& [fn, name] : subParameters)
        names.emplace(fn, name);
    return names;
}

QString FindCatalogue(const QString& given) {
    if (!given.isEmpty())
        return given;
    for (const QString& folder : {QDir::currentPath(), QCoreApplication::applicationDirPath()}) {
        const QString path = QDir(folder).filePath(QStringLiteral("Functions.csv"));
        if (QFileInfo(path).isFile())
            return path;
    }
    return {};
}

int Dump(const QString& file, const QString& catalogueGiven) {
    tduomenys plaintext;
    QString reason;
    if (!TemplateFile::OpenSealedFile(file, TemplateFormat::PassPhrase(), &plaintext, &reason))
        return Fail(QStringLiteral("cannot read %1: %2").arg(file, reason));
    const QString catalogue = FindCatalogue(catalogueGiven);
    if (!catalogueGiven.isEmpty() && !QFileInfo(catalogueGiven).isFile())
        return Fail(QStringLiteral("cannot read the catalogue %1").arg(catalogueGiven));
    const std::map<quint8, QString> names =
        catalogue.isEmpty() ? std::map<quint8, QString>{} : CatalogueNames(catalogue);
    const auto name = [&names](quint8 fn) {
        const auto it = names.find(fn);
        if (it != names.end() && fn != 0x00 && fn != 0xFF)
            return it->second;
        return FixedName(fn);
    };
    QString text, error;
    if (!TemplateText::Dump(plaintext, name, &text, &error))
        return Fail(QStringLiteral("%1 is not a template (or not sealed with the templates' pass "
                                   "phrase): %2")
                        .arg(file, error));
    if (catalogue.isEmpty())
        text.prepend(QStringLiteral("# no Functions.csv found: only the fixed FNs are named\n"));
    Print(stdout, text);
    return Done;
}

int Seal(const QString& textFile, const QString& out) {
    QFile file(textFile);
    if (!QFileInfo(textFile).isFile() || !file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read %1: %2")
                        .arg(textFile, QFileInfo(textFile).exists()
                                           ? file.errorString()
                                           : QStringLiteral("No such file")));
    const QByteArray bytes = file.read(MaxTextBytes + 1);
    if (bytes.size() > MaxTextBytes)
        return Fail(QStringLiteral("%1 is too large for a template's text").arg(textFile));
    tduomenys plaintext;
    QString error;
    if (!TemplateText::Parse(QString::fromUtf8(bytes), &plaintext, &error))
        return Fail(QStringLiteral("%1, %2").arg(textFile, error));
    QString reason;
    if (!TemplateFile::SealToFile(out, TemplateFormat::PassPhrase(), plaintext, &reason))
        return Fail(QStringLiteral("cannot write %1: %2").arg(out, reason));
    Print(stdout,
          QStringLiteral("%1: template of %2 bytes written\n").arg(out).arg(plaintext.size()));
    return Done;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return Usage(QStringLiteral("no command given"));
    const QString command = args.takeFirst();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        Print(stdout, QString::fromLatin1(Help));
        return Done;
    }
    if (command == QLatin1String("dump")) {
        QString catalogue;
        const qsizetype at = args.indexOf(QStringLiteral("--catalogue"));
        if (at >= 0) {
            if (at + 1 >= args.size())
                return Usage(QStringLiteral("--catalogue needs a file"));
            catalogue = args[at + 1];
            args.remove(at, 2);
        }
        if (args.size() != 1)
            return Usage(QStringLiteral("dump takes one template file"));
        return Dump(args.first(), catalogue);
    }
    if (command == QLatin1String("seal")) {
        if (args.size() != 2)
            return Usage(QStringLiteral("seal takes a text file and the template to write"));
        return Seal(args[0], args[1]);
    }
    return Usage(QStringLiteral("unknown command \"%1\"").arg(command));
}
