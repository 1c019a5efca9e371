// A small school: a class file, four users in the user list (two students of class 3, a
// student without a class, a teacher of class 3) and results of several kinds, written by the
// program's own writers.
#pragma once

#include "music/data/ClassFile.h"
#include "music/data/ResultFiles.h"
#include "music/files/ClassRecord.h"
#include "music/files/DataFixture.h"
#include "music/files/DaysSince1899.h"
#include "shell/reports/ReportModel.h"
#include "shell/state/AppState.h"
#include "support/QStringPrinting.h"

namespace pv::test {

class ReportFixture : public DataFixture
{
protected:
    static constexpr double kHour = 1.0 / 24.0;

    ReportFixture()
    {
        texts.StrReportText0 = QStringLiteral("Results of the exercises");
        texts.StrReportText2 = QStringLiteral("Users");
        texts.StrReportMessage = QStringLiteral("Please choose a user first.");
        texts.StrProgramTitle = QStringLiteral("Pellivark");
        texts.StrScore = QStringLiteral("Right");
        texts.StrTotal = QStringLiteral("Total");
        texts.StrResultFile = QStringLiteral("Result file");
        captions.OneClass = QStringLiteral("Class:");
        captions.AllStudents = QStringLiteral("All students");
        captions.AllUsers = QStringLiteral("All users");
        captions.DaysBefore = QStringLiteral("The last");
        captions.DaysAfter = QStringLiteral("days");
        for (std::size_t box = 0; box < 10; ++box)
            captions.BoxCaptions[box] = QStringLiteral("Kind %1").arg(kReportBoxKinds[box]);
        captions.TutorLabel = QStringLiteral("Tutor");
        captions.DateTitle = QStringLiteral("Date");
        captions.TimeTitle = QStringLiteral("Time");
        captions.LevelTitle = QStringLiteral("Level name");
        captions.DurationTitle = QStringLiteral("Duration");

        WriteClasses({{QStringLiteral("3b"), 3}, {QStringLiteral("4a"), 4}});
        ann = AddUser(1, 1, QStringLiteral("Ann"), QStringLiteral("Berg"), 3);
        bo = AddUser(2, 1, QStringLiteral("Bo"), QStringLiteral("Dahl"), 3);
        cy = AddUser(3, 1, QStringLiteral("Cy"), QString(), 0);
        teacher = AddUser(4, 2, QStringLiteral("Tea"), QStringLiteral("Cher"), 3);
        app.Users.CurrentUser = ann;
        app.SetResultUser(ann);
    }

    std::shared_ptr<TUserInfo> AddUser(std::uint16_t id, std::int32_t kind, const QString& given,
                                       const QString& family, std::uint16_t classId)
    {
        auto user = std::make_shared<TUserInfo>();
        user->Record.UserId = id;
        user->Record.UserKind = kind;
        user->Record.FullName =
            family.isEmpty() ? given : given + QChar(kFullNameSeparator) + family;
        user->Record.ClassId = classId;
        if (!app.Users.UserList)
            app.Users.UserList.emplace();
        app.Users.UserList->push_back({given, user});
        return user;
    }

    void WriteClasses(const std::vector<std::pair<QString, std::int32_t>>& classes)
    {
        std::vector<std::uint8_t> bytes;
        for (const auto& [name, id] : classes) {
            TClassRec rec;
            rec.Name = name;
            rec.ClassId = id;
            Append(bytes, EncodeClassRec(rec));
        }
        ASSERT_TRUE(Put(data.ClassFilePath(), bytes));
    }

    /// A stored result of user at a day before today (fractions for the time of day).
    void Store(const std::shared_ptr<TUserInfo>& user, int kind, double daysAgo,
               std::uint16_t score, std::uint16_t count,
               const QString& level = QStringLiteral("Easy"))
    {
        TResultRec r;
        r.UserId = user->Record.UserId;
        r.Kind = static_cast<std::uint16_t>(kind);
        r.DateTime = today - daysAgo;
        r.Duration = 0.1 * kHour;
        r.SetupName = level;
        r.Score = score;
        r.Count = count;
        ASSERT_TRUE(AppendResult(data, r));
    }

    ReportChoice Choice(ReportScope scope, std::vector<int> boxes, const QString& days = {})
    {
        ReportChoice choice;
        choice.Scope = scope;
        choice.Boxes = std::move(boxes);
        choice.Days = days.isEmpty() ? QStringLiteral("30") : days;
        return choice;
    }

    const double today = TodayInDaysSince1899() + 12 * kHour;
    UIStringTable texts = Strings();
    ReportDialogTexts captions;
    AppState app;
    std::shared_ptr<TUserInfo> ann, bo, cy, teacher;
    ReportModel model{ReportSources{data, app, texts, prompts, {}}};
};

} // namespace pv::test
