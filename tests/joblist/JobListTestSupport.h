#pragma once

#include <string>
#include <vector>

#include "joblist/GridModel.h"
#include "joblist/JobList.h"
#include "platform/PlainForm.h"
#include "support/TestPaths.h"

namespace tavrin::test {

// A job list on an in-memory grid and form, with the handlers wired as the window wires them.
struct JobListRig {
    JobListRig() {
        LayOutJobListGrid(grid);
        // A radio button's click runs when it becomes checked.
        form.addMode.onClick = [this] {
            if (form.addMode.checked())
                list.AddModeClick();
        };
        form.repMode.onClick = [this] {
            if (form.repMode.checked())
                list.RepModeClick();
        };
        form.spinEdit1.onChange = [this] { list.SpinEdit1Change(); };
        form.jobAsSet.onClick = [this] { list.JobAsSetClick(); };
        form.smartReplots.onClick = [this] { list.SmartReplotsClick(); };
    }

    // A radio button pair: checking one unchecks the other.
    void SetAddMode(bool add) {
        form.addMode.setChecked(add);
        form.repMode.setChecked(!add);
    }

    void Add(const std::vector<std::string>& names) {
        list.SetPendingFiles(names);
        list.SetBatchCount(int(names.size()));
        list.AddBatch();
    }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (int r = 1; r <= list.FileCount(); ++r)
            names.push_back(grid.cell(0, r));
        return names;
    }

    // Real plot files as the names of a batch.
    static std::vector<std::string> SampleNames(int count, int first = 0) {
        static const char* kFiles[] = {"hp2xx/acad.hp",       "hp2xx/pages.hp",
                                       "hp2xx/dt.plt",        "hp2xx/spectrum.plt",
                                       "ghostpdl/golfer.eps", "hpgl-rendering/test.plt",
                                       "hp2xx/win_1.hp",      "hp2xx/inter.hp"};
        std::vector<std::string> names;
        for (int i = first; i < first + count; ++i) {
            names.push_back((SamplesDir() / kFiles[i % 8]).string() + "#" + std::to_string(i));
        }
        return names;
    }

    GridModel grid;
    PlainForm form{grid};
    std::string deviceClass = "HPGL2";
    JobList list{form, [this] { return deviceClass; }};
};

}  // namespace tavrin::test
