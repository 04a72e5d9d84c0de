#include "widgets/DropFileTarget.h"

#include <QByteArray>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QUrl>

namespace tavrin {

TDropFileTarget::TDropFileTarget(QObject* owner, const TickTimerFactory& timers)
    : TDropTarget(owner, timers) {}

std::vector<std::string> TDropFileTarget::LocalFiles(const QMimeData& data) {
    std::vector<std::string> files;
    if (!data.hasUrls())
        return files;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile())
            continue;
        // Windows names are shown and stored with backslashes, as the Explorer gives them.
        const QString name = QDir::toNativeSeparators(url.toLocalFile());
        if (!name.isEmpty())
            files.push_back(name.toStdString());
    }
    return files;
}

std::vector<std::string> TDropFileTarget::ReadNameList(const QByteArray& block, bool wide) {
    std::vector<std::string> names;
    if (wide) {
        const qsizetype units = block.size() / 2;
        const auto* bytes = reinterpret_cast<const unsigned char*>(block.constData());
        std::u16string name;
        for (qsizetype i = 0; i <= units; ++i) {
            const char16_t unit = i < units ? char16_t(bytes[2 * i] | bytes[2 * i + 1] << 8) : 0;
            if (unit != 0) {
                name += unit;
                continue;
            }
            if (name.empty())
                break;
            names.push_back(QString::fromStdU16String(name).toStdString());
            name.clear();
        }
    } else {
        QByteArray name;
        for (qsizetype i = 0; i <= block.size(); ++i) {
            const char c = i < block.size() ? block.at(i) : '\0';
            if (c != '\0') {
                name += c;
                continue;
            }
            if (name.isEmpty())
                break;
            names.push_back(QString::fromLocal8Bit(name).toStdString());
            name.clear();
        }
    }
    return names;
}

bool TDropFileTarget::AcceptsData(const QMimeData& data) const {
    return !LocalFiles(data).empty();
}

void TDropFileTarget::ResetData() {
    files_.clear();
    nameMap_.clear();
}

bool TDropFileTarget::FetchData(const QMimeData& data) {
    ResetData();
    files_ = LocalFiles(data);
    const bool result = !files_.empty();

    QString format = FindFormat(data, QStringLiteral("FileNameMap"));
    bool wide = false;
    if (format.isEmpty()) {
        format = FindFormat(data, QStringLiteral("FileNameMapW"));
        wide = true;
    }
    if (!format.isEmpty()) {
        nameMap_ = ReadNameList(data.data(format), wide);
        if (nameMap_.size() != files_.size())
            nameMap_.clear();
    }
    return result;
}

DropEffect TDropFileTarget::ReadClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || LocalFiles(*data).empty())
        return DROPEFFECT_NONE;
    files_ = LocalFiles(*data);
    const DropEffect preferred = TDropTarget::ReadClipboard();
    return preferred != DROPEFFECT_NONE ? preferred : DROPEFFECT_COPY;
}

}  // namespace tavrin
