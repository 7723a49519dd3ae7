import { expect, test, vi } from 'vitest'
import { actionTable, perform } from '../src/actions.js'

const NOON = new Date(2026, 11, 10, 12, 0).getTime()
const table = actionTable(['Sunday', 'Weekday'])
const FREE = { held: false, armed: false }

// prettier-ignore
test.each([
	['start_standby', { length_s: 0, restart: false }, FREE, { type: 'StartStandby' }],
	['start_standby', { length_s: 90, restart: true }, FREE, { type: 'StartStandby', data: { duration_ms: 90000, restart: true } }],
	['hold', { from: '', reason: 'Speaker late' }, FREE, { type: 'Hold', data: { on: true, from: 'companion', reason: 'Speaker late' } }],
	['resume', { from: 'deck' }, FREE, { type: 'Hold', data: { on: false, from: 'deck' } }],
	['hold_toggle', { from: 'companion', reason: '' }, FREE, { type: 'Hold', data: { on: true, from: 'companion' } }],
	['hold_toggle', { from: 'companion', reason: '' }, { held: true }, { type: 'Hold', data: { on: false, from: 'companion' } }],
	['add_time', { seconds: 60 }, FREE, { type: 'AddTime', data: { ms: 60000 } }],
	['remove_time', { seconds: 30 }, FREE, { type: 'AddTime', data: { ms: -30000 } }],
	['arm', { show_at: '', lead_s: '' }, FREE, { type: 'Arm' }],
	['arm', { show_at: '20:00', lead_s: '300' }, FREE, { type: 'Arm', data: { at_ms: NOON + 8 * 3600000, lead_ms: 300000 } }],
	['arm_toggle', { show_at: '', lead_s: '0' }, FREE, { type: 'Arm', data: { lead_ms: 0 } }],
	['arm_toggle', { show_at: '20:00', lead_s: '' }, { armed: true }, { type: 'Disarm' }],
	['select_preset', { name: 'Weekday' }, FREE, { type: 'SelectPreset', data: { name: 'Weekday' } }],
])('%s %o sends %o', (id, options, state, request) => {
	expect(table[id].request(options, state, NOON)).toEqual(request)
})

test("Select preset offers CurtainUp's presets", () => {
	expect(table.select_preset.options[0].choices.map((choice) => choice.id)).toEqual(['Sunday', 'Weekday'])
})

test("perform gives CurtainUp's answer, or the reason nothing was sent", async () => {
	const refusing = { state: FREE, request: vi.fn(async () => ({ ok: false, error: 'A show is running' })) }
	expect(await perform(table.start_standby, { length_s: 0 }, refusing)).toEqual({
		ok: false,
		error: 'A show is running',
	})

	const offline = { state: FREE, request: async () => Promise.reject(new Error('Not connected to OBS.')) }
	expect(await perform(table.cancel, {}, offline)).toEqual({ ok: false, error: 'Not connected to OBS.' })

	refusing.request.mockClear()
	expect(await perform(table.arm, { show_at: '', lead_s: '2h' }, refusing)).toEqual({
		ok: false,
		error: 'The lead must be 0 to 3600 seconds.',
	})
	expect(refusing.request).not.toHaveBeenCalled()
})
