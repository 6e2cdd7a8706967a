// Control and template ids of the WizardDialogs templates.
#pragma once
