#include "StoredObject.h"

#include "store/ObjectContext.h"

void StoredObject::markChanged()
{
    if (m_context)
        m_context->noteChanged(this);
}
