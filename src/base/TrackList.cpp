#include "base/TrackList.h"

#include <QCollator>
#include <QDir>
#include <algorithm>
#include <numeric>
#include <vector>

#include "base/Mp3Folder.h"

namespace melodrop {

QString joinTrackPath(const QString& folder, const QString& name) {
    return folder + QDir::separator() + name;
}

namespace {

// Each character replaced by its simple case folding (as a case-insensitive comparison of
// QStrings folds them), code point by code point.
QString caseFolded(const QString& name) {
    QString out = name;
    char16_t* data = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (QChar::isHighSurrogate(data[i]) && i + 1 < out.size() &&
            QChar::isLowSurrogate(data[i + 1])) {
            const char32_t folded =
                QChar::toCaseFolded(QChar::surrogateToUcs4(data[i], data[i + 1]));
            data[i] = QChar::highSurrogate(folded);
            data[i + 1] = QChar::lowSurrogate(folded);
            ++i;
        } else {
            data[i] = static_cast<char16_t>(QChar::toCaseFolded(char32_t(data[i])));
        }
    }
    return out;
}

bool isAscii(const QString& name) {
    return std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
}

// The name in lower case, as QString::toLower gives it. Plain ASCII names (most file names) are
// lowered in place on one copy, or shared when they have no capital; that is several times
// faster than the general case mapping, and a folder of many names pays it once per name.
QString lowerCased(const QString& name) {
    if (!isAscii(name)) return name.toLower();
    const auto capital = [](QChar c) { return c.unicode() >= 'A' && c.unicode() <= 'Z'; };
    const auto first = std::find_if(name.begin(), name.end(), capital);
    if (first == name.end()) return name;
    QString out = name;
    char16_t* data = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = first - name.begin(); i < out.size(); ++i)
        if (data[i] >= u'A' && data[i] <= u'Z') data[i] = static_cast<char16_t>(data[i] + 0x20);
    return out;
}

}  // namespace

void sortTrackNames(QStringList& names, QStringList* lowerCase) {
    const auto n = static_cast<std::size_t>(names.size());
    std::vector<QString> lower(lowerCase ? n : 0);
    for (std::size_t i = 0; i < lower.size(); ++i) lower[i] = lowerCased(names[qsizetype(i)]);
    std::vector<qsizetype> order(n);
    std::iota(order.begin(), order.end(), 0);
    // Names that collate alike go by their characters, so that the order is always the same.
    if (QLocale().language() == QLocale::C) {
        // The C locale's collator compares the names' characters after simple case folding (and
        // its sort keys would not fold case): fold each name once and compare the folded names.
        // For a plain ASCII name that is its lower-case copy, shared rather than made again.
        std::vector<QString> folded(n);
        for (std::size_t i = 0; i < n; ++i) {
            const QString& name = names[qsizetype(i)];
            folded[i] = lowerCase && isAscii(name) ? lower[i] : caseFolded(name);
        }
        std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            const int c =
                QString::compare(folded[std::size_t(a)], folded[std::size_t(b)], Qt::CaseSensitive);
            return c != 0 ? c < 0 : names[a] < names[b];
        });
    } else {
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(false);
        // One sort key per name, made once, instead of a collation of both names at every step.
        std::vector<QCollatorSortKey> keys;
        keys.reserve(n);
        for (const QString& name : names) keys.push_back(collator.sortKey(name));
        std::sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            const int c = keys[std::size_t(a)].compare(keys[std::size_t(b)]);
            return c != 0 ? c < 0 : names[a] < names[b];
        });
    }
    QStringList sorted;
    sorted.reserve(names.size());
    for (qsizetype i : order) sorted.append(std::move(names[i]));
    names = std::move(sorted);
    if (!lowerCase) return;
    lowerCase->clear();
    lowerCase->reserve(names.size());
    for (qsizetype i : order) lowerCase->append(std::move(lower[std::size_t(i)]));
}

TrackList::TrackList(QObject* parent) : QAbstractListModel(parent) {
    folder_ = QDir::currentPath();
    load();
}

bool TrackList::setFolder(const QString& path) {
    const QDir dir(path);
    if (path.isEmpty() || !dir.exists() || !dir.isReadable()) return false;
    folder_ = path;
    load();
    return true;
}

void TrackList::refresh() {
    load();
}

void TrackList::load() {
    QStringList names;
    listMp3Files(folder_, names);
    QStringList lowerCase;
    sortTrackNames(names, &lowerCase);
    beginResetModel();
    entries_ = std::move(names);
    lowerCase_ = std::move(lowerCase);
    const int before = selected_;
    if (selected_ >= count()) selected_ = -1;
    endResetModel();
    if (before != selected_) emit selectionChanged(selected_);
}

QString TrackList::entry(int index) const {
    return index >= 0 && index < count() ? entries_.at(index) : QString();
}

int TrackList::findLowerCase(const QString& lowerCaseText, int from) const {
    for (int i = std::max(0, from); i < count(); ++i)
        if (lowerCase_.at(i).contains(lowerCaseText)) return i;
    return -1;
}

bool TrackList::select(int index) {
    if (index < -1 || index >= count()) return false;
    if (index != selected_) {
        selected_ = index;
        emit selectionChanged(index);
    }
    return true;
}

QString TrackList::pathOf(const QString& name) const {
    return joinTrackPath(folder_, name);
}

int TrackList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant TrackList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count()) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return entries_.at(index.row());
    return {};
}

}  // namespace melodrop
