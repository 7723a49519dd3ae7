import { expect, test } from 'vitest'
import { FEEDBACKS } from '../src/feedbacks.js'
import { VARIABLES, parseShowTime, variableValues } from '../src/state.js'

// prettier-ignore
const STANDBY = {
	phase: 'standby', step: 'standby', held: false, hold_reason: '', counting: true, time_left: '4:59',
	preset: 'Sunday', problem: '', armed: false, go_live_at_ms: 0, show_at_ms: 0,
}
const IDLE = { ...STANDBY, phase: 'idle', counting: false, remaining_ms: -1, time_left: '' }
const local = (...fields) => new Date(...fields).getTime()

test('each defined variable gets a value', () => {
	expect(Object.keys(variableValues(STANDBY)).sort()).toEqual(VARIABLES.map((v) => v.variableId).sort())
})

test.each([
	['4:59', 299],
	['0:00', 0],
	['1:02:03', 3723],
	['', ''],
])('time_left "%s" is remaining_s %s', (timeLeft, seconds) => {
	expect(variableValues({ ...STANDBY, time_left: timeLeft }).remaining_s).toBe(seconds)
})

test('an armed show has its times as HH:MM here; a disarmed one none', () => {
	const armed = {
		...IDLE,
		armed: true,
		go_live_at_ms: local(2026, 11, 10, 19, 55),
		show_at_ms: local(2026, 11, 10, 20, 0),
	}
	expect(variableValues(armed)).toMatchObject({ armed: true, go_live_at: '19:55', show_at: '20:00' })
	expect(variableValues({ ...armed, armed: false })).toMatchObject({ armed: false, go_live_at: '', show_at: '' })
})

const NOON = local(2026, 11, 10, 12, 0)
test.each([
	['', undefined],
	['20:00', local(2026, 11, 10, 20, 0)],
	['9:30', local(2026, 11, 11, 9, 30)],
	['12:00', local(2026, 11, 11, 12, 0)],
	['2026-12-24 18:30', local(2026, 11, 24, 18, 30)],
	['2026-12-24T18:30', local(2026, 11, 24, 18, 30)],
])('show time "%s" at noon', (typed, ms) => {
	expect(parseShowTime(typed, NOON)).toBe(ms)
})

test.each(['25:00', '12:60', '2026-04-31 10:00', '8pm'])('show time "%s" is refused', (typed) => {
	expect(() => parseShowTime(typed, NOON)).toThrow(/neither HH:MM/)
})

test.each([
	['phase', { phase: 'standby' }, STANDBY, true],
	['phase', { phase: 'main' }, STANDBY, false],
	['held', {}, { ...STANDBY, held: true }, true],
	['held', {}, STANDBY, false],
	['armed', {}, { ...IDLE, armed: true }, true],
	['armed', {}, IDLE, false],
	['counting', {}, STANDBY, true],
	['counting', {}, IDLE, false],
	['time_below', { seconds: 300 }, STANDBY, true],
	['time_below', { seconds: 299 }, STANDBY, false],
	['time_below', { seconds: 60 }, IDLE, false],
	['problem', {}, { ...IDLE, problem: 'The scene "OP" is missing.' }, true],
	['problem', {}, IDLE, false],
])('feedback %s %o', (id, options, state, lit) => {
	expect(FEEDBACKS[id].test({ state, streaming: false }, options)).toBe(lit)
})

test('streaming follows OBS, not the show', () => {
	expect(FEEDBACKS.streaming.test({ state: IDLE, streaming: true }, {})).toBe(true)
	expect(FEEDBACKS.streaming.test({ state: STANDBY, streaming: false }, {})).toBe(false)
})
