// Control and template ids of the StyleDialogs templates.
#pragma once
