#pragma once
// The tests answer file and folder dialogs with the stand-in's driver.
#include "standin/dialog_driver.h"

namespace qzsdk::test {

using dialog_driver = standin::DialogDriver;

}  // namespace qzsdk::test
