// The root of the framework's record classes: a run-time class query, a virtual
// destructor and a serialise operation that records may override (by default it does
// nothing, since the program's files are written by their owners).
#pragma once

class CArchive;

struct CRuntimeClass
{
    const char* m_lpszClassName;
    int m_nObjectSize;
};

class CObject
{
public:
    virtual const CRuntimeClass* GetRuntimeClass() const
    {
        static const CRuntimeClass classObject = { "CObject", static_cast<int>(sizeof(CObject)) };
        return &classObject;
    }
    virtual ~CObject() = default;
    virtual void Serialize(CArchive& ar) { (void)ar; }

protected:
    CObject() = default;
    CObject(const CObject&) = default;
    CObject& operator=(const CObject&) = default;
};
