// The report-list operations of the component kinds, as the handlers use them.
// The kinds' header holds a QPointer to QTableView, which needs the complete type.
#pragma once

#include <QTableView>

#include "forms/kinds/report_list.h"
