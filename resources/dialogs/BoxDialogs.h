// Control and template ids of the BoxDialogs templates.
#pragma once
