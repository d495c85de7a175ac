// The ordinary build's stand-in for libFuzzer: runs every file of the folders
// (or the files) named on the command line through the target once, so each
// input that ever mattered is checked again by the test suite.

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStringList>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    QStringList inputs;
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (!QFileInfo(path).isDir()) {
            inputs.append(path);
            continue;
        }
        QDirIterator files(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (files.hasNext())
            inputs.append(files.next());
    }
    inputs.sort();
    for (const QString& input : std::as_const(inputs)) {
        QFile file(input);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", qPrintable(input));
            return 1;
        }
        const QByteArray bytes = file.readAll();
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                               size_t(bytes.size()));
    }
    std::printf("%lld inputs replayed\n", static_cast<long long>(inputs.size()));
    // An empty corpus checks nothing: a mistake in the layout, not a pass.
    return inputs.isEmpty() ? 1 : 0;
}
