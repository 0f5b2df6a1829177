"""Parameter files (placeholder)."""
