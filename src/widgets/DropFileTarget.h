#pragma once

#include <string>
#include <vector>

#include "widgets/DropTarget.h"

class QByteArray;

namespace tavrin {

// A drop target for files: takes drags that carry local files and collects their full names in
// Files, in the order of the data, with the names the source asks the files to get (from the
// formats "FileNameMap" or "FileNameMapW", where the platform offers them) in NameMap. Unless
// GetDataOnEnter is set, both lists hold the names only while OnDrop runs.
class TDropFileTarget : public TDropTarget {
    Q_OBJECT

public:
    explicit TDropFileTarget(QObject* owner = nullptr,
                             const TickTimerFactory& timers = QtTickTimers());

    const std::vector<std::string>& Files() const { return files_; }
    // Empty, or one name per entry of Files.
    const std::vector<std::string>& NameMap() const { return nameMap_; }

    // Fills Files from the files on the clipboard; the effect the clipboard asks for (copy
    // when it says nothing), or none without files there. NameMap is left as it is.
    DropEffect ReadClipboard() override;

    // The full names of the local files that `data` carries, in order.
    static std::vector<std::string> LocalFiles(const QMimeData& data);
    // Zero-terminated names one after the other, ending at an empty name or the end of the block;
    // 8-bit names in the local code page, or 16-bit (UTF-16) names when `wide`.
    static std::vector<std::string> ReadNameList(const QByteArray& block, bool wide);

protected:
    bool FetchData(const QMimeData& data) override;
    void ResetData() override;
    bool AcceptsData(const QMimeData& data) const override;

private:
    std::vector<std::string> files_;
    std::vector<std::string> nameMap_;
};

}  // namespace tavrin
