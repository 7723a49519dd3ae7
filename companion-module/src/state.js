// CurtainUp's show state (the fields of GetState and of every event) as Companion's variables,
// and the show times as the operator reads and types them. Pure, so that the unit tests and the
// end-to-end driver use exactly what the module uses.

// What the module shows until OBS has answered.
export const NO_STATE = {
	phase: '',
	step: '',
	held: false,
	hold_reason: '',
	counting: false,
	time_left: '',
	preset: '',
	problem: '',
	armed: false,
	go_live_at_ms: 0,
	show_at_ms: 0,
}

export const VARIABLES = [
	{ variableId: 'phase', name: 'Phase (idle, standby, op, main, break, ending)' },
	{ variableId: 'step', name: 'Step of the flow' },
	{ variableId: 'time_left', name: 'Time left, as the dock shows it (4:59)' },
	{ variableId: 'remaining_s', name: 'Seconds that time_left shows (empty when nothing counts)' },
	{ variableId: 'preset', name: 'Current preset' },
	{ variableId: 'held', name: 'Held (true/false)' },
	{ variableId: 'hold_reason', name: 'Reason of the hold' },
	{ variableId: 'armed', name: 'Armed for a scheduled show (true/false)' },
	{ variableId: 'go_live_at', name: 'Go-live time, HH:MM (empty when not armed)' },
	{ variableId: 'show_at', name: 'Show time, HH:MM (empty when not armed)' },
	{ variableId: 'problem', name: "The dock's problem line" },
]

// "1:02:03" or "4:59" → the seconds it shows; "" (nothing counts down) → "".
export function secondsShown(timeLeft) {
	if (!timeLeft) return ''
	return timeLeft.split(':').reduce((seconds, part) => seconds * 60 + Number(part), 0)
}

const twoDigits = (n) => String(n).padStart(2, '0')

// Wall-clock ms → "HH:MM" in this computer's time zone.
function clockText(ms) {
	const time = new Date(ms)
	return `${twoDigits(time.getHours())}:${twoDigits(time.getMinutes())}`
}

export function variableValues(state) {
	const armed = Boolean(state.armed)
	return {
		phase: state.phase,
		step: state.step,
		time_left: state.time_left,
		remaining_s: secondsShown(state.time_left),
		preset: state.preset,
		held: Boolean(state.held),
		hold_reason: state.hold_reason,
		armed,
		go_live_at: armed ? clockText(state.go_live_at_ms) : '',
		show_at: armed ? clockText(state.show_at_ms) : '',
		problem: state.problem,
	}
}

// A local time, or null when the fields do not name one (Date rolls 31 April over into May,
// and a typing error should not arm another day).
function localTime(year, month, day, hours, minutes) {
	const time = new Date(year, month - 1, day, hours, minutes)
	const fields = [time.getFullYear(), time.getMonth() + 1, time.getDate(), time.getHours(), time.getMinutes()]
	return fields.join() === [year, month, day, hours, minutes].join() ? time : null
}

// The show time typed for Arm: "HH:MM" (its next occurrence) or "YYYY-MM-DD HH:MM", local time.
// Returns wall-clock ms; undefined for an empty text (CurtainUp then uses the preset's until-time).
export function parseShowTime(text, now) {
	const typed = String(text ?? '').trim()
	if (!typed) return undefined
	const clock = /^(\d{1,2}):(\d{2})$/.exec(typed)
	const dated = /^(\d{4})-(\d{2})-(\d{2})[ T](\d{1,2}):(\d{2})$/.exec(typed)
	let time = null
	if (clock) {
		const today = new Date(now)
		time = localTime(today.getFullYear(), today.getMonth() + 1, today.getDate(), Number(clock[1]), Number(clock[2]))
		if (time && time.getTime() <= now) time.setDate(time.getDate() + 1)
	} else if (dated) {
		time = localTime(...dated.slice(1).map(Number))
	}
	if (!time) throw new Error(`Show time "${typed}" is neither HH:MM nor YYYY-MM-DD HH:MM.`)
	return time.getTime()
}
