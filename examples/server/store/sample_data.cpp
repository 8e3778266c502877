#include "server/store/sample_data.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "server/store/sql_time.h"

namespace tvx::example {

namespace {

constexpr int kStaffCount = 42;
constexpr int kHistoryMonths = 36;

// A fixed seed and plain modulo arithmetic: the same rows on every machine.
class Dice {
 public:
  int Range(int low, int high) {
    return low + static_cast<int>(engine_() % static_cast<std::uint32_t>(high - low + 1));
  }
  bool Chance(int percent) { return Range(1, 100) <= percent; }
  template <class T, std::size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[static_cast<std::size_t>(Range(0, static_cast<int>(N) - 1))];
  }

 private:
  std::mt19937 engine_{20240501u};
};

struct Person {
  const char* last;
  const char* first;
  const char* middle;
};

constexpr std::array<Person, 12> kMen = {{
    {"Иванов", "Алексей", "Петрович"},
    {"Смирнов", "Дмитрий", "Игоревич"},
    {"Кузнецов", "Сергей", "Викторович"},
    {"Попов", "Андрей", "Николаевич"},
    {"Васильев", "Михаил", "Юрьевич"},
    {"Петров", "Николай", "Сергеевич"},
    {"Соколов", "Павел", "Андреевич"},
    {"Михайлов", "Олег", "Владимирович"},
    {"Новиков", "Артём", "Александрович"},
    {"Фёдоров", "Игорь", "Степанович"},
    {"Морозов", "Евгений", "Олегович"},
    {"Волков", "Константин", nullptr},
}};
constexpr std::array<Person, 12> kWomen = {{
    {"Иванова", "Елена", "Сергеевна"},
    {"Смирнова", "Ольга", "Викторовна"},
    {"Кузнецова", "Наталья", "Ивановна"},
    {"Попова", "Татьяна", "Алексеевна"},
    {"Васильева", "Ирина", "Петровна"},
    {"Петрова", "Анна", "Михайловна"},
    {"Соколова", "Мария", "Дмитриевна"},
    {"Михайлова", "Светлана", "Юрьевна"},
    {"Новикова", "Юлия", "Андреевна"},
    {"Фёдорова", "Екатерина", "Олеговна"},
    {"Морозова", "Людмила", "Николаевна"},
    {"Волкова", "Дарья", nullptr},
}};
constexpr std::array<const char*, 10> kPositions = {
    "Бухгалтер", "Инженер",         "Менеджер по продажам", "Кладовщик",
    "Водитель",  "Программист",     "Юрисконсульт",         "Секретарь",
    "Экономист", "Начальник отдела"};
constexpr std::array<const char*, 6> kDepartments = {
    "Бухгалтерия", "Производство", "Отдел продаж", "Склад", "ИТ-отдел", "Администрация"};
constexpr std::array<const char*, 4> kPayKinds = {"Премия", "Доплата за совмещение",
                                                  "Надбавка за выслугу лет", "Материальная помощь"};

struct Employee {
  std::int64_t id;
  int hired;
  int dismissed;  // 0 when still employed
};

int Day(int year, int month, int day) { return static_cast<int>(EncodeDate(year, month, day)); }

// The first day of the month `months` after (or before, if negative) the month of `day`.
int MonthStart(int day, int months) {
  int y = 0, m = 0, d = 0;
  DecodeDate(day, y, m, d);
  int index = y * 12 + (m - 1) + months;
  return Day(index / 12, index % 12 + 1, 1);
}

std::string Moment(Dice& dice, int day, TDateTime latest, int from_hour = 9, int to_hour = 17) {
  const TDateTime time =
      EncodeTime(dice.Range(from_hour, to_hour), dice.Range(0, 59), dice.Range(0, 59));
  return SqlDateTime(std::min<TDateTime>(day + time, latest));
}

}  // namespace

void FillSampleData(Database& db, TDateTime now) {
  Dice dice;
  const int today = static_cast<int>(DateOf(now));
  const int history_start = MonthStart(today, -kHistoryMonths);
  Transaction transaction(db);

  Statement add_staff = db.Prepare(
      "INSERT INTO STAFF (PERSONNEL_NUMBER, LAST_NAME, FIRST_NAME, MIDDLE_NAME, POSITION, "
      "DEPARTMENT, HIRED, DISMISSED, SALARY, CHANGED_AT) VALUES (?,?,?,?,?,?,?,?,?,?)");
  std::vector<Employee> staff;
  for (int i = 0; i < kStaffCount; ++i) {
    const Person& person = dice.Chance(50) ? dice.Pick(kWomen) : dice.Pick(kMen);
    const int hired = dice.Range(history_start - 3 * 365, today - 30);
    int dismissed = 0;
    if (i % 7 == 3 && hired + 120 < today - 5) dismissed = dice.Range(hired + 90, today - 5);
    int changed = hired;
    if (dice.Chance(50)) changed = dice.Range(hired, today);  // a later salary review
    if (dismissed != 0) changed = dismissed;
    add_staff.Reset();
    add_staff.Bind(1, "Т-" + std::to_string(1000 + i)).Bind(2, person.last).Bind(3, person.first);
    if (person.middle != nullptr) {
      add_staff.Bind(4, person.middle);
    } else {
      add_staff.BindNull(4);
    }
    add_staff.Bind(5, dice.Pick(kPositions))
        .Bind(6, dice.Pick(kDepartments))
        .Bind(7, SqlDate(hired));
    if (dismissed != 0) {
      add_staff.Bind(8, SqlDate(dismissed));
    } else {
      add_staff.BindNull(8);
    }
    add_staff.Bind(9, std::int64_t{dice.Range(30, 150)} * 1000 * 100)
        .Bind(10, Moment(dice, changed, now));
    add_staff.Step();
    staff.push_back({db.LastInsertId(), hired, dismissed});
  }

  Statement add_vacation = db.Prepare(
      "INSERT INTO VACATIONS (STAFF_ID, KIND, START_DATE, END_DATE, CHANGED_AT) "
      "VALUES (?,?,?,?,?)");
  for (const Employee& employee : staff) {
    const int last = employee.dismissed != 0 ? employee.dismissed : today + 60;
    int start = std::max(employee.hired, history_start - 365) + dice.Range(120, 300);
    while (start < last) {
      const int kind = dice.Range(1, 10);
      const char* name = kind <= 8   ? "Ежегодный оплачиваемый"
                         : kind == 9 ? "Без сохранения заработной платы"
                                     : "Учебный";
      const int length = kind <= 8 ? dice.Range(7, 28) : dice.Range(1, 10);
      add_vacation.Reset();
      add_vacation.Bind(1, employee.id)
          .Bind(2, name)
          .Bind(3, SqlDate(start))
          .Bind(4, SqlDate(start + length - 1))
          .Bind(5, Moment(dice, start - dice.Range(3, 20), now));
      add_vacation.Step();
      start += length + dice.Range(120, 330);
    }
  }

  Statement add_pay = db.Prepare(
      "INSERT INTO EXTRA_PAY (STAFF_ID, KIND, PAY_DATE, AMOUNT, CHANGED_AT) VALUES (?,?,?,?,?)");
  for (int month = history_start; month <= today; month = MonthStart(month, 1)) {
    const int pay_day = month + 24;
    if (pay_day > today) break;
    for (int k = 0; k < 5; ++k) {
      const Employee& employee = staff[static_cast<std::size_t>(dice.Range(0, kStaffCount - 1))];
      if (employee.hired > pay_day || (employee.dismissed != 0 && employee.dismissed < pay_day)) {
        continue;
      }
      add_pay.Reset();
      add_pay.Bind(1, employee.id)
          .Bind(2, dice.Pick(kPayKinds))
          .Bind(3, SqlDate(pay_day))
          .Bind(4, std::int64_t{dice.Range(3, 30)} * 1000 * 100)
          .Bind(5, Moment(dice, pay_day, now, 14, 17));
      add_pay.Step();
    }
  }

  // The history: one full export at the start, then one export of the previous month's
  // changes early in every month since.
  Statement add_export = db.Prepare(
      "INSERT INTO OK_EXPORT_HISTORY (EXPORT_DATE, EXPORT_FROM, EXPORT_TO) VALUES (?,?,?)");
  const std::string first_moment = Moment(dice, history_start + 1, now, 10, 11);
  Statement earliest = db.Prepare(
      "SELECT MIN(D) FROM (SELECT MIN(CHANGED_AT) AS D FROM STAFF UNION ALL "
      "SELECT MIN(CHANGED_AT) FROM VACATIONS UNION ALL SELECT MIN(CHANGED_AT) FROM EXTRA_PAY)");
  earliest.Step();
  const std::string first_day = earliest.IsNull(0) ? first_moment : earliest.Text(0);
  add_export.Bind(1, first_moment)
      .Bind(2, first_day.substr(0, 10) + " 00:00:00")
      .Bind(3, first_moment.substr(0, 10) + " 00:00:00");
  add_export.Step();
  for (int month = MonthStart(history_start, 1);; month = MonthStart(month, 1)) {
    const int run_day = month + 1 + (dice.Chance(20) ? 1 : 0);
    const TDateTime run =
        run_day + EncodeTime(dice.Range(9, 12), dice.Range(0, 59), dice.Range(0, 59));
    if (run > now) break;
    const int previous = MonthStart(month, -1);
    add_export.Reset();
    add_export.Bind(1, SqlDateTime(run))
        .Bind(2, SqlDate(previous) + " 00:00:00")
        .Bind(3, SqlDate(month - 1) + " 00:00:00");
    add_export.Step();
  }
  transaction.Commit();
}

}  // namespace tvx::example
