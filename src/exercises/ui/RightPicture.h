// The picture beside a right answer's verdict.
#pragma once

#include <QPixmap>

namespace pv {

/// A green tick in a round badge, size pixels square.
QPixmap RightPicture(int size);

} // namespace pv
