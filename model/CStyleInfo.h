// The abstract style: a record that loads itself from and saves itself to one file.
#pragma once

#include <windows.h>

#include "framework/CObject.h"

namespace Model {

class CStyleInfo : public CObject
{
public:
    ~CStyleInfo() override;
    virtual BOOL Load(const wchar_t* path) = 0;
    virtual BOOL Save(const wchar_t* path) = 0;

protected:
    CStyleInfo() = default;
    CStyleInfo(const CStyleInfo&) = default;
    CStyleInfo& operator=(const CStyleInfo&) = default;
};

} // namespace Model
