#include "printers/QueueJobText.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <optional>
#include <set>
#include <string>

namespace tavrin {
namespace {

// Sets the process's time zone for one test and puts the old one back.
class TimeZone {
public:
    explicit TimeZone(const char* zone) {
        if (const char* old = getenv("TZ"))
            old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (old_) {
            setenv("TZ", old_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    std::optional<std::string> old_;
};

TEST(QueueJobText, ShowsEveryFieldOfAJob) {
    TimeZone utc("UTC");
    const QueueJob job{17, "XANADU-PLT-test.plt", 132, QueueJobState::Held, 1700000000};
    const QueueJobText text = TextOf(job);
    EXPECT_EQ(text.id, "17");
    EXPECT_EQ(text.documentName, "XANADU-PLT-test.plt");
    EXPECT_EQ(text.size, "132 KB");
    EXPECT_EQ(text.state, "Held");
    EXPECT_EQ(text.time, "2023-11-14 22:13:20");
}

TEST(QueueJobText, ALineHoldsTheFiveFieldsWhateverTheName) {
    TimeZone utc("UTC");
    const QueueJob job{3, "two\tparts\nof a\rname.plt", 0, QueueJobState::Pending, 1700000000};
    EXPECT_EQ(QueueJobLine(job), "3\ttwo parts of a name.plt\t0 KB\tWaiting\t2023-11-14 22:13:20");
    const QueueJob untimed{4, "a.plt", 1, QueueJobState::Processing, 0};
    EXPECT_EQ(QueueJobLine(untimed), "4\ta.plt\t1 KB\tPrinting\t");
}

TEST(QueueJobText, TimesAreLocal) {
    TimeZone zone("CET-1");
    EXPECT_EQ(TimeText(1700000000), "2023-11-14 23:13:20");
}

TEST(QueueJobText, AJobWithoutATimeShowsNone) {
    EXPECT_EQ(TimeText(0), "");
    EXPECT_EQ(TimeText(-5), "");
}

TEST(QueueJobText, EveryStateHasItsOwnText) {
    const QueueJobState states[] = {QueueJobState::Pending,    QueueJobState::Held,
                                    QueueJobState::Processing, QueueJobState::Stopped,
                                    QueueJobState::Canceled,   QueueJobState::Aborted,
                                    QueueJobState::Completed};
    std::set<std::string> texts;
    for (QueueJobState state : states)
        texts.insert(StateText(state));
    EXPECT_EQ(texts.size(), std::size(states));
    EXPECT_EQ(StateText(QueueJobState::Pending), "Waiting");
    EXPECT_EQ(StateText(QueueJobState::Processing), "Printing");
}

}  // namespace
}  // namespace tavrin
