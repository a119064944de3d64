#pragma once
// The reference object of the tests: "Дом на Садовой", address
// "ул. Садовая, 12", with a security-post console and one gate; house 1
// (prefix "1") with two entrances, house 2 (prefix "2") with one. Fixtures,
// screenshots and the commissioning run build on it; a test that needs
// something else starts from it and changes only the option it is about.
//
// It is entered through the program's own operations on the open data module
// (FDM, connected, with its datasets open), step by step as an engineer would
// enter it, so a fixture never holds a row the program would not write. The
// operator's answers to the program's questions are given by the builder.
//
// Steps, each on top of the one before:
//   Entrances  the object screen: the new object with its address, console
//              and gates, its houses ("Сохранить дома"), each house's prefix
//              and entrance count in the houses grid, and the entrance save
//              ("Сохранить подъезды", which runs the matrix rebuild hook).
//   Matrix     the matrix screen: the matrix that the entrance save rebuilt
//              (switches 1..3, the gate panel 01, door panels 02..04, the
//              gate wired to every switch) saved with "Сохранить", which also
//              enters it into the entrances. The rebuild is the program's own
//              for this step, whatever hook the test installed.
//   Apartments the entrance screen: each house's last apartment numbers
//              typed entrance by entrance (apartmentsPerEntrance each, so the
//              numbers run on through a house and start again in the next),
//              "Пересчитать невыделенные поля", then "Сохранить квартиры для
//              КМ" with keysPerApartment: codes equal the apartment numbers,
//              and with the console every entrance ends with its handset.
//   DeviceRecords  the switch screen's "Коммутаторов нет. Создать их из
//              матрицы?" answered Yes: switch, call-panel and console records
//              made from the saved matrix, with their defaults, tracts,
//              handset indexes and terminals; the state becomes "закрыто".
//
// Further steps follow the road of a job (matrix save, apartments, device
// records, keys). To add one:
//   1. append its value to ReferenceStep;
//   2. put what a test may change about it into ReferenceObjectOptions, with
//      the reference values as defaults (for example apartments per entrance,
//      a hotel entrance, keys per apartment);
//   3. write a private step that runs it through the program's operations and
//      call it from Build when `last` reaches it.
//
// Usage:
//     ReferenceObject ref;                       // or ReferenceObject(options)
//     ASSERT_TRUE(ref.Build()) << ref.Error().toStdString();
//     const qint64 idNet = ref.IdNet();

#include <QList>
#include <QString>

struct ReferenceHouse {
    QString prefix;
    int entrances = 1;
};

struct ReferenceObjectOptions {
    QString name = QStringLiteral("Дом на Садовой");
    QString address = QStringLiteral("ул. Садовая, 12");
    bool console = true;
    int gates = 1;
    QList<ReferenceHouse> houses = {{QStringLiteral("1"), 2}, {QStringLiteral("2"), 1}};
    int apartmentsPerEntrance = 40;
    int keysPerApartment = 4;
};

enum class ReferenceStep {
    Entrances,      // object, houses and entrances saved on the object screen
    Matrix,         // the access matrix saved
    Apartments,     // apartment rows generated on the entrance screen
    DeviceRecords,  // switch, call-panel and console records made from the matrix
};

class ReferenceObject {
  public:
    explicit ReferenceObject(ReferenceObjectOptions options = {});

    // Builds the object up to and including step last. False with Error()
    // when a step did not go through; what was built so far stays.
    bool Build(ReferenceStep last = ReferenceStep::Entrances);

    const ReferenceObjectOptions& Options() const { return options_; }
    // id_net of the object, 0 before it was saved.
    qint64 IdNet() const { return idNet_; }
    QString Error() const { return error_; }

  private:
    bool enterObjectAndEntrances(ReferenceStep last);
    bool saveMatrix();
    bool generateApartments();
    bool makeDeviceRecords();
    bool fail(const QString& why);

    ReferenceObjectOptions options_;
    qint64 idNet_ = 0;
    QString error_;
};
