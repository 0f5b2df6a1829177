// Built by the variable-tree work.
