"""Schedules (placeholder)."""
