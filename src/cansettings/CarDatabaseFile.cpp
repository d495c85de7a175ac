#include "CarDatabaseFile.h"

#include "CarListText.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <algorithm>

namespace {
enum Column { Number, Model, Year, GroupSubgroup, Fn57, ColumnCount };
constexpr const char* ColumnKeys[ColumnCount] = {"NR.", "Model", "Year", "Group/Subgroup", "FN57"};
// Makes whose name is two words; every other make is the first word.
constexpr const char* TwoWordMakes[] = {"alfa romeo", "byd denza"};

struct THeader {
    int Position[ColumnCount] = {-1, -1, -1, -1, -1};
    bool Seen = false;
};

using TFields = std::vector<QStringView>;

// QStringView::indexOf of one character goes through the general substring
// search; this plain scan is several times quicker on a long list.
qsizetype Find(QStringView text, char16_t c, qsizetype from) {
    const char16_t* begin = text.utf16();
    const char16_t* found = std::find(begin + from, begin + text.size(), c);
    return found == begin + text.size() ? -1 : found - begin;
}

QStringView Field(const TFields& fields, int position) {
    return position >= 0 && position < static_cast<int>(fields.size()) ? fields[position]
                                                                       : QStringView();
}

void SplitFields(QStringView line, TFields* fields) {
    fields->clear();
    qsizetype start = 0;
    for (qsizetype tab; (tab = Find(line, u'\t', start)) >= 0; start = tab + 1)
        fields->push_back(line.mid(start, tab - start));
    fields->push_back(line.mid(start));
}

// Calls take(token) for every blank-separated token that is not empty.
template <typename Take> void ForEachToken(QStringView text, Take take) {
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype blank = Find(text, u' ', start);
        if (blank < 0)
            blank = text.size();
        if (blank > start)
            take(text.mid(start, blank - start));
        start = blank + 1;
    }
}

// A decimal number with an optional sign, blanks around it allowed; anything
// else is none. Written out because the list is long and this runs for
// every field that holds a number.
std::optional<int> Decimal(QStringView text) {
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+'))) {
        negative = text[0] == QLatin1Char('-');
        text = text.mid(1);
    }
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - '0');
    }
    return negative ? -value : value;
}

// 0..255 as the module keeps it; larger values wrap, negative ones are no byte.
std::optional<quint8> Byte(QStringView text) {
    const std::optional<int> value = Decimal(text);
    if (!value || *value < 0)
        return std::nullopt;
    return static_cast<quint8>(*value % 256);
}

void SplitMake(QStringView field, QString* make, QString* model) {
    int words = 1;
    for (const char* twoWords : TwoWordMakes)
        if (field.contains(QLatin1String(twoWords), Qt::CaseInsensitive))
            words = 2;
    qsizetype cut = -1;
    for (int i = 0; i < words; ++i) {
        cut = field.indexOf(QLatin1Char(' '), cut + 1);
        if (cut < 0)
            break;
    }
    if (cut < 0) {
        *make = field.toString();
        model->clear();
    } else {
        *make = field.left(cut).toString();
        *model = field.mid(cut + 1).toString();
    }
}

// Finds makes and models by their lower-case names while a list is read, so
// a long list does not search every model for every line.
class TCarIndex {
public:
    explicit TCarIndex(TCanDataArr& cars) : Cars(cars) {}

    // A list repeats the same model field for each of its year ranges: the
    // field as written finds its make and model again without splitting it.
    TCanParamData& AddByField(QStringView modelField) {
        const QString key = modelField.toString();
        auto found = Fields.constFind(key);
        if (found == Fields.cend()) {
            QString make;
            QString model;
            SplitMake(modelField, &make, &model);
            Add(make, model);
            found = Fields.insert(key, {LastMake, LastModel});
        }
        QList<TCanParamData>& years = Cars[found->first].Models[found->second].Years;
        years.emplace_back();
        return years.last();
    }

private:
    void Add(const QString& make, const QString& model) {
        const QString makeKey = make.toLower();
        auto foundMake = Makes.constFind(makeKey);
        int makeIndex;
        if (foundMake == Makes.cend()) {
            makeIndex = Cars.size();
            Cars.append(TCanData{make, {}});
            Makes.insert(makeKey, makeIndex);
        } else {
            makeIndex = *foundMake;
        }
        TCanData& car = Cars[makeIndex];
        const QString modelKey = makeKey + QChar(0) + model.toLower();
        auto foundModel = Models.constFind(modelKey);
        int modelIndex;
        if (foundModel == Models.cend()) {
            modelIndex = car.Models.size();
            car.Models.append(TCanModelData{model, {}});
            Models.insert(modelKey, modelIndex);
        } else {
            modelIndex = *foundModel;
        }
        LastMake = makeIndex;
        LastModel = modelIndex;
    }

    TCanDataArr& Cars;
    QHash<QString, int> Makes;
    QHash<QString, int> Models;
    QHash<QString, std::pair<int, int>> Fields;
    int LastMake = 0;
    int LastModel = 0;
};

void ReadHeader(const TFields& fields, THeader* header) {
    *header = THeader();
    header->Seen = true;
    for (int key = 0; key < ColumnCount; ++key)
        for (int i = 0; i < static_cast<int>(fields.size()); ++i)
            if (fields[i] == QLatin1String(ColumnKeys[key])) {
                header->Position[key] = i;
                break;
            }
}

void ReadDataLine(const TFields& fields, const THeader& header, TCarIndex& index,
                  TCarDatabaseFile::TResult& result) {
    TCanParamData& entry = index.AddByField(Field(fields, header.Position[Model]).trimmed());
    entry.Year = Field(fields, header.Position[Year]).trimmed().toString();

    ForEachToken(Field(fields, header.Position[GroupSubgroup]), [&](QStringView token) {
        const qsizetype slash = Find(token, u'/', 0);
        const std::optional<quint8> gr = slash > 0 ? Byte(token.left(slash)) : std::nullopt;
        const std::optional<quint8> pgr = slash > 0 ? Byte(token.mid(slash + 1)) : std::nullopt;
        if (gr && pgr)
            entry.GrPgr.emplace_back(*gr, *pgr);
        else
            ++result.SkippedTokens;
    });
    ForEachToken(Field(fields, header.Position[Fn57]), [&](QStringView token) {
        QString withoutMarks;
        if (Find(token, u'?', 0) >= 0)
            token = withoutMarks = token.toString().remove(QLatin1Char('?'));
        if (token.isEmpty() || token == QLatin1String("-"))
            return;
        if (const std::optional<quint8> fn57 = Byte(token))
            entry.Fn57.append(*fn57);
        else
            ++result.SkippedTokens;
    });
    ++result.DataLines;
}
} // namespace

TCarDatabaseFile::TResult TCarDatabaseFile::Parse(const QString& allText) {
    TResult result;
    TCarIndex index(result.Cars);
    THeader header;
    QString text = allText;
    text.remove(QLatin1Char('\''))
        .remove(QLatin1Char('"'))
        .replace(QLatin1Char(';'), QLatin1Char('\t'));
    TFields fields;
    const QStringView all(text);
    for (qsizetype start = 0; start < all.size();) {
        qsizetype end = Find(all, u'\n', start);
        if (end < 0)
            end = all.size();
        QStringView line = all.mid(start, end - start);
        start = end + 1;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        SplitFields(line, &fields);
        if (fields.size() >= 2 &&
            fields[1].compare(QLatin1String("nr."), Qt::CaseInsensitive) == 0) {
            ReadHeader(fields, &header);
            continue;
        }
        if (!header.Seen)
            continue;
        const std::optional<int> number = Decimal(Field(fields, header.Position[Number]));
        if (number && *number > 0)
            ReadDataLine(fields, header, index, result);
    }
    return result;
}

bool TCarDatabaseFile::LoadCarDatabase(const QString& path, TCanDataArr& database) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    TResult result = Parse(TCarListText::Decode(file.readAll()));
    if (result.DataLines == 0)
        return false;
    database = std::move(result.Cars);
    return true;
}
