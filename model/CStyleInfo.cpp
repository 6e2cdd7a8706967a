#include "model/CStyleInfo.h"

namespace Model {

CStyleInfo::~CStyleInfo() = default;

} // namespace Model
