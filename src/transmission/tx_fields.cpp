#include "transmission/tx_fields.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QSpinBox>

#include "datafiles/timestamp.h"
#include "support/gui/form_fields.h"
#include "support/helpers.h"

namespace kiv {

QSpinBox* MakeTxSpin(QWidget* parent, const char* name, int low, int high, int step) {
    return MakeSpin(parent, name, low, high, step);
}

QDateTimeEdit* MakeTxPicker(QWidget* parent, const char* name, QTime time) {
    auto* edit = new QDateTimeEdit(QDateTime(QDate::currentDate(), time), parent);
    edit->setObjectName(name);
    edit->setDisplayFormat("yyyy-MM-dd HH:mm:ss");
    edit->setCalendarPopup(true);
    edit->setEnabled(false);
    return edit;
}

int32_t PickedTxTime(const QCheckBox* box, const QDateTimeEdit* edit) {
    if (!box->isChecked()) return -1;
    const QDateTime at = edit->dateTime();
    const TDateTime fields{static_cast<uint16_t>(at.date().year()),   static_cast<uint16_t>(at.date().month()),
                           static_cast<uint16_t>(at.date().day()),    static_cast<uint16_t>(at.time().hour()),
                           static_cast<uint16_t>(at.time().minute()), static_cast<uint16_t>(at.time().second())};
    return static_cast<int32_t>(EncodeTime(fields));
}

std::string TxLogPath(const char* name) { return PathWithSeparator(QDir::currentPath().toStdString()) + name; }

} // namespace kiv
